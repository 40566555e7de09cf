#pragma once

#include "core/BalanceMethod.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

class CBalanceModel;

// A division under balancing: where every student is, the exact sums of
// every class, and what each class costs.
//
// A class costs nothing while it lies within bands around the school-wide
// figures, and the square of how far it lies outside them otherwise:
// - every score dimension: the class average within a tolerance of the
//   average of all placed students (the tolerances are set by the search
//   and narrow as it succeeds);
// - girls and boys: within the whole numbers next to the mean per class;
// - the largest original school likewise, every other school within one
//   student more or less of the mean, with a lighter weight;
// - every category of the task (a condition's value, a score band) within
//   the whole numbers next to its mean per class, weighing as the sexes.
// Mainly what lies outside a band counts, so figures that are already good
// leave room for the moves that fix the others; inside its band a score
// average only feels a light pull towards the middle, which keeps some room
// in every dimension.
//
// Moves keep the hard rules: pre-assigned students never move, students of
// one exclusive group never meet in a class, no class grows beyond its
// capacity, and a student only moves to a class smaller than its own (so
// class sizes never get further apart) and never leaves a class empty.
class CBalanceState
{
public:
    // The smallest fall of the cost that counts as an improvement, well
    // above rounding noise.
    static constexpr double kMinGain = 1.0e-9;

    // The method sets how much a category outside its band weighs.
    CBalanceState(const CBalanceModel& model, const std::vector<int>& assignment,
                  CBalanceMethod method = CBalanceMethod::Current);

    const CBalanceModel& GetModel() const { return m_model; }
    int GetClassCount() const { return m_classCount; }

    // Half-widths of the bands of the score dimensions, in points; all
    // class costs are recomputed.
    void SetTolerances(const std::vector<double>& tolerances);
    const std::vector<double>& GetTolerances() const { return m_tolerance; }
    // Per score dimension, the excess (in points) that weighs as much as one
    // girl too many; takes effect with the next SetTolerances.
    void SetUnits(const std::vector<double>& units) { m_unit = units; }
    // Per score dimension, where the middle of the band lies from the
    // average of all placed students, in points (0: the band lies around
    // it); takes effect with the next SetTolerances.
    void SetOffsets(const std::vector<double>& offsets) { m_offset = offsets; }
    // The average of all placed students in a score dimension, in points.
    double GetMean(int dimension) const { return m_mean[static_cast<std::size_t>(dimension)]; }

    const std::vector<int>& GetAssignment() const { return m_classOf; }
    // Safe to read while a search on other classes moves the student (it
    // then gives a class of that search, or -1 midway).
    int ClassOf(int student) const
    {
        return std::atomic_ref<int>(const_cast<int&>(m_classOf[static_cast<std::size_t>(student)]))
            .load(std::memory_order_relaxed);
    }
    int Size(int classIndex) const { return m_size[static_cast<std::size_t>(classIndex)]; }
    // The students of a class that may move.
    const std::vector<int>& Movable(int classIndex) const { return m_movable[static_cast<std::size_t>(classIndex)]; }

    double GetCost() const { return m_cost; }
    double GetClassCost(int classIndex) const { return m_classCost[static_cast<std::size_t>(classIndex)]; }
    double GetAverageCost(int classIndex) const { return m_averageCost[static_cast<std::size_t>(classIndex)]; }
    // The averages' cost outside the bands, of a class and of all.
    double GetExcess(int classIndex) const { return m_excessCost[static_cast<std::size_t>(classIndex)]; }
    double GetExcess() const { return m_excess; }
    bool IsOffAverage(int classIndex) const { return m_offAverage[static_cast<std::size_t>(classIndex)] != 0; }
    // While two searches work on two disjoint sets of classes at once, the
    // cost, excess and counts of classes off their bands of all classes
    // are left as they are; when the deferral ends they are counted again.
    void DeferTotals(bool defer);
    // Classes whose averages lie outside their bands, and classes outside
    // any band (averages or counts).
    int GetClassesOffAverage() const { return m_classesOffAverage; }
    int GetClassesOffBand() const { return m_classesOffBand; }
    // Class average minus the middle of its band (the average of all placed
    // students unless an offset moves it), in points.
    double GetDeviation(int classIndex, int dimension) const { return m_deviation[Cell(classIndex, dimension)]; }
    // The largest |deviation| of a score dimension over the classes.
    double GetMaxDeviation(int dimension) const;

    bool CanSwap(int a, int b) const;
    double SwapDelta(int a, int b) const;
    void Swap(int a, int b);

    // True when none of the student's partners (exclusive groups, names
    // kept apart) shares its class.
    bool KeepsApart(int student) const { return CanJoin(student, ClassOf(student), -1); }

    bool CanMove(int student, int to) const;
    double MoveDelta(int student, int to) const;
    void Move(int student, int to);

    // a goes to the class of b, b to the class of c, c to the class of a;
    // the three classes must differ.
    bool CanRotate(int a, int b, int c) const;
    double RotateDelta(int a, int b, int c) const;
    void Rotate(int a, int b, int c);

    // Pricing, for the moves that price many candidates at once.
    // The part of a deviation's cost outside the band.
    double ExcessTerm(int dimension, double deviation) const
    {
        const double excess =
            (deviation < 0.0 ? -deviation : deviation) - m_tolerance[static_cast<std::size_t>(dimension)];
        return excess > 0.0 ? excess * excess * m_averageWeight[static_cast<std::size_t>(dimension)] : 0.0;
    }
    // What a deviation costs in all: the excess, plus the pull towards the
    // middle.
    double AverageTerm(int dimension, double deviation) const
    {
        return ExcessTerm(dimension, deviation)
               + kPull * deviation * deviation * m_averageWeight[static_cast<std::size_t>(dimension)];
    }
    static double GetPull() { return kPull; }
    const std::vector<double>& GetAverageWeights() const { return m_averageWeight; }
    // The cost of the girls and boys of a class with these counts.
    double GenderCost(int girls, int size) const;
    double GetGenderCost(int classIndex) const { return m_genderCost[static_cast<std::size_t>(classIndex)]; }
    int GetGirls(int classIndex) const { return m_girls[static_cast<std::size_t>(classIndex)]; }
    // How much more the tally counts of a class cost after one student of
    // the tally leaves it (change -1) or joins it (+1); 0 for no tally.
    double TallyChange(int classIndex, int tally, int change) const;
    // Whether a student may join a class in an exchange: -1 with anyone,
    // -2 never, otherwise only in exchange for the student returned (its
    // one exclusion partner there).
    int JoinCondition(int student, int classIndex) const;
    // The score dimensions of a student in points.
    const double* GetPoints(int student) const
    {
        return m_points.data() + static_cast<std::size_t>(student) * m_dimensions;
    }

private:
    // Weight of the pull towards the middle, against the excess.
    static constexpr double kPull = 0.05;

    static double CountTerm(int value, int low, int high, double weight)
    {
        const int excess = value < low ? low - value : (value > high ? value - high : 0);
        return weight * static_cast<double>(excess) * static_cast<double>(excess);
    }
    double TallyTerm(int tally, int count) const;
    // Recomputes every class from scratch.
    void Refresh();
    std::size_t Cell(int classIndex, int dimension) const
    {
        return static_cast<std::size_t>(classIndex) * m_dimensions + static_cast<std::size_t>(dimension);
    }
    // May student join the class when leaving (or -1) leaves it?
    bool CanJoin(int student, int classIndex, int leaving) const;
    // The cost of a class after removing one student and adding another
    // (either may be -1).
    double CostAfter(int classIndex, int removed, int added) const;
    // Moves students (to the classes given) and reprices the classes
    // concerned.
    void Relocate(std::initializer_list<std::pair<int, int>> moves);
    // Takes a student's figures out of a class or into it.
    void Remove(int student, int classIndex);
    void Add(int student, int classIndex);
    void Reprice(int classIndex);
    void SetClassOf(int student, int classIndex)
    {
        std::atomic_ref<int>(m_classOf[static_cast<std::size_t>(student)]).store(classIndex, std::memory_order_relaxed);
    }
    void UpdateDeviations(int classIndex);

    const CBalanceModel& m_model;
    int m_classCount = 0;
    std::size_t m_dimensions = 0;
    int m_kinds = 0;
    std::size_t m_tallies = 0;

    std::vector<int> m_classOf;
    std::vector<int> m_slot; // position of a movable student in its class's list
    std::vector<std::vector<int>> m_movable;
    std::vector<int> m_size;
    std::vector<int> m_girls;
    std::vector<double> m_points;      // student x dimension, points
    std::vector<std::int64_t> m_sums;  // class x dimension, thousandths of a point
    std::vector<double> m_deviation;   // class x dimension
    std::vector<int> m_tallyCounts;    // class x tally
    std::vector<double> m_averageCost; // per class
    std::vector<char> m_offAverage;    // per class: an average outside its band
    std::vector<char> m_offBand;       // per class: anything outside its band
    std::vector<double> m_excessCost;  // per class: what lies outside the bands
    double m_excess = 0.0;
    std::vector<double> m_genderCost; // per class
    std::vector<double> m_tallyCost;  // per class
    std::vector<double> m_classCost;  // per class
    double m_cost = 0.0;
    int m_classesOffAverage = 0;
    int m_classesOffBand = 0;
    bool m_deferTotals = false;

    std::vector<double> m_mean;          // per dimension, points
    std::vector<double> m_offset;        // per dimension, points
    std::vector<double> m_middle;        // per dimension: mean plus offset
    std::vector<double> m_tolerance;     // per dimension, points
    std::vector<double> m_unit;          // per dimension, points
    std::vector<double> m_averageWeight; // per dimension
    int m_girlsLow = 0, m_girlsHigh = 0;
    int m_boysLow = 0, m_boysHigh = 0;
    std::vector<int> m_tallyLow, m_tallyHigh;
    std::vector<double> m_tallyWeight;
};
