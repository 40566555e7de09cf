#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The moves of the balancing search, one per step.
enum class CBalanceMove
{
    Rotation,
    Resplit,
    DoubleExchange,
    GroupExchange,
    ExchangeChain,
    // A block of students who share a class by rule, exchanged whole.
    BlockExchange,
};

// What each move of a search did: how often it was tried, how often the
// division got better by it, and the time it took. This is how a change to
// the search shows what each move buys.
class CBalanceMoveStats
{
public:
    static constexpr std::size_t kMoves = static_cast<std::size_t>(CBalanceMove::BlockExchange) + 1;

    struct Figures
    {
        std::uint64_t tries = 0;
        std::uint64_t gains = 0;
        double seconds = 0.0;
    };

    const Figures& Of(CBalanceMove move) const { return m_figures[static_cast<std::size_t>(move)]; }
    void Add(CBalanceMove move, bool gained, double seconds)
    {
        Figures& figures = m_figures[static_cast<std::size_t>(move)];
        ++figures.tries;
        figures.gains += gained ? 1 : 0;
        figures.seconds += seconds;
    }

    CBalanceMoveStats& operator+=(const CBalanceMoveStats& other)
    {
        for (std::size_t m = 0; m < kMoves; ++m) {
            m_figures[m].tries += other.m_figures[m].tries;
            m_figures[m].gains += other.m_figures[m].gains;
            m_figures[m].seconds += other.m_figures[m].seconds;
        }
        return *this;
    }

private:
    std::array<Figures, kMoves> m_figures{};
};
