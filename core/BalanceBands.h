#pragma once

#include <cstdint>
#include <vector>

class CBalanceState;

// How wide the bands of the score averages are while the search runs.
//
// The total average's band starts at half its largest deviation, each
// subject's is kSubjectRatio times as wide, but no band is ever wider than
// half the spread the division started with in that figure: a division
// that is already close in some subject (one balanced before and then
// changed by hand) must not be let drift there, or the search ends with
// nothing that is no worse than the start. The bands narrow by a fixed
// factor whenever every class lies within them, or when the search has
// stopped gaining at this width; they stop at floors set by how finely a
// class average can move at all (the common step of the scores over the
// class size): a band at its floor holds the two values of a class average
// next to the average of all, so that a search that fills it leaves the
// classes one step apart. The search is over when everything lies within the bands
// at their floors, or when it has long stopped gaining there.
//
// The units that weigh an excess against a girl too many are set here too:
// a hundredth of the spread that classes drawn at random would show in the
// total average, and the subjects' unit proportionally wider.
class CBalanceBands
{
public:
    explicit CBalanceBands(CBalanceState& state);

    // Called after every step; false when there is nothing left to gain.
    bool Update(std::uint64_t step);

private:
    void NarrowTo(double tau);
    std::vector<double> Units() const;
    std::vector<double> Floors();
    double Offset(std::size_t dimension) const;
    // Half the spread of each score dimension over the classes that hold
    // students, as the search finds the division.
    std::vector<double> Caps() const;

    CBalanceState& m_state;
    std::size_t m_total = 0; // the total's dimension
    std::vector<double> m_grid; // per dimension: one step of a class average
    std::vector<double> m_floors;
    std::vector<double> m_caps;
    std::vector<double> m_units; // as Units() gives them
    std::vector<double> m_tolerances;
    double m_tau = 0.0;
    bool m_atFloor = false;
    std::uint64_t m_patience = 0;
    double m_levelBest = 0.0;
    std::uint64_t m_lastGain = 0;
};
