#pragma once

#include <memory>

// The application object that fonts, printing and drawing need, on the
// offscreen platform so that no display is needed. Null when the process
// already has one.
template <class Application>
std::unique_ptr<Application> StartOffscreenQt()
{
    static int argc = 3;
    static char name[] = "quillon-cli";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    if (Application::instance())
        return nullptr;
    return std::make_unique<Application>(argc, argv);
}
