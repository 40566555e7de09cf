#pragma once

#include <QString>

// The program's name, version and icon, as every window shows them.
class CProgramInfo
{
public:
    static QString name();    // "Lumo智能分班系统"
    static QString version(); // "1.0.0"
    // The main window's title without a task: name, a space, version.
    static QString baseTitle();

    // Gives the running application its names and its icon, once at start:
    // every window without an icon of its own shows it, message boxes
    // without a parent included.
    static void setUpApplication();
};
