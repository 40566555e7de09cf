#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The figures of one class (or of the whole school) after a division:
// headcount by sex and the sums and averages of the subject scores.
// Arithmetic is single precision, as the figures have always been shown.
class CClassStatistics
{
public:
    explicit CClassStatistics(std::size_t subjectCount = 0)
        : scoreSums(subjectCount, 0.0f), scoreAverages(subjectCount, 0.0f)
    {
    }

    // Counts one student: sex 0 is a girl, any other value a boy.
    void AddStudent(int sex)
    {
        if (sex == 0)
            ++girls;
        else
            ++boys;
    }

    // Adds the value of the k-th score (k below the number of subjects).
    void AddScore(std::size_t k, float value)
    {
        scoreSums[k] += value;
        totalSum += value;
    }

    // count := boys + girls; the averages stay 0 for an empty record.
    void CalculateAverages()
    {
        count = boys + girls;
        if (count <= 0)
            return;
        for (std::size_t k = 0; k < scoreSums.size(); ++k)
            scoreAverages[k] = scoreSums[k] / static_cast<float>(count);
        totalAverage = totalSum / static_cast<float>(count);
    }

    std::int32_t boys = 0;
    std::int32_t girls = 0;
    std::int32_t count = 0;
    std::vector<float> scoreSums;
    std::vector<float> scoreAverages;
    float totalSum = 0.0f;
    float totalAverage = 0.0f;
};
