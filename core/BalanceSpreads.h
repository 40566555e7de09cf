#pragma once

#include <vector>

class CBalanceModel;

// How far apart the classes of a division are: for each figure the largest
// minus the smallest value over the classes that hold students. Averages are
// computed as the statistics compute them (single precision sums over the
// students in list order, divided by the headcount), so these are the
// differences the user reads in the statistics.
class CBalanceSpreads
{
public:
    // assignment: the class of each placed student of the model.
    static CBalanceSpreads Measure(const CBalanceModel& model, const std::vector<int>& assignment);

    // True when no figure is further apart than in other: the total and
    // every subject average, girls, boys, the largest school, the most
    // uneven school and the most uneven category.
    bool NoWorseThan(const CBalanceSpreads& other) const;

    // Spread of the school with the most students; 0 when none names one.
    int GetLargestSchoolSpread() const;
    // The largest spread of any school.
    int GetWorstSchoolSpread() const;
    // The largest spread of any category of the task; 0 for none.
    int GetWorstCategorySpread() const;

    double total = 0.0;
    std::vector<double> subjects;
    int girls = 0;
    int boys = 0;
    std::vector<int> schools; // per school of the model
    int largestSchool = -1;   // index of the school with the most students
    std::vector<int> categories; // per category tally of the model, in its order
};
