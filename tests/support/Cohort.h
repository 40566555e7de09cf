#pragma once

// Realistic cohorts for the balancing tests and benchmarks: a latent
// ability plus a school effect behind every subject score (in half points),
// 48% girls, 10 to 30 feeder schools of very unequal size, a share of the
// students in exclusive groups of two to four and a share pre-assigned.
// With rules: two condition columns (30% boarders, 5% talents of three
// kinds), score bands 10,30,60, pairs of twins who share a class and pairs
// of students of one name kept apart.
#include "TaskBuilder.h"
#include "base/records/DivisionRules.h"
#include "core/DivisionCore.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace testsupport {

struct CohortOptions
{
    int students = 400;
    int classes = 10;
    int subjects = 3;
    std::uint64_t seed = 1;
    double groupedShare = 0.02;
    double presetShare = 0.01;
    unsigned spareSeats = 1; // per class, beyond an even share
    bool rules = false;
    int togetherPairs = 20;
    int sameNamePairs = 30;
};

inline void FillCohort(CScheduleTask& task, const CohortOptions& cohort)
{
    static const char* const kSubjects[] = {"语文", "数学", "英语", "物理", "化学", "生物", "政治", "历史", "地理"};
    std::mt19937_64 random(cohort.seed);
    std::normal_distribution<double> normal(0.0, 1.0);
    auto uniform = [&](int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); };

    const unsigned capacity =
        static_cast<unsigned>((cohort.students + cohort.classes - 1) / cohort.classes) + cohort.spareSeats;
    for (int c = 0; c < cohort.classes; ++c)
        AddClass(task, "c" + std::to_string(c), std::to_string(c + 1) + "班", c, capacity);
    auto& subjects = task.GetCustomSubjectArray();
    subjects.clear();
    for (int k = 0; k < cohort.subjects; ++k)
        subjects.push_back(k < 9 ? kSubjects[k] : "科目" + std::to_string(k + 1));

    // Schools of very unequal size, each with its own level.
    const int schoolCount = 10 + uniform(21);
    std::vector<double> weights(static_cast<std::size_t>(schoolCount));
    std::vector<double> effects(static_cast<std::size_t>(schoolCount));
    for (int i = 0; i < schoolCount; ++i) {
        weights[static_cast<std::size_t>(i)] = 1.0 / std::pow(i + 1.0, 1.2);
        effects[static_cast<std::size_t>(i)] = 0.5 * normal(random);
    }
    std::discrete_distribution<int> school(weights.begin(), weights.end());

    for (int s = 0; s < cohort.students; ++s) {
        const int from = school(random);
        const double ability = normal(random) + effects[static_cast<std::size_t>(from)];
        const int sex = (random() % 100) < 48 ? 0 : 1;
        std::vector<std::string> scores;
        for (int k = 0; k < cohort.subjects; ++k) {
            const double top = k < 3 ? 150.0 : 100.0;
            const double z = 0.75 * ability / std::sqrt(1.25) + 0.66 * normal(random);
            const double value = std::clamp(top * (0.65 + 0.15 * z), 0.0, top);
            const double half = std::round(value * 2.0) / 2.0;
            std::string text = std::to_string(half);
            text.erase(text.find_last_not_of('0') + 1);
            if (text.back() == '.')
                text.pop_back();
            scores.push_back(text);
        }
        AddStudent(task, "s" + std::to_string(s), "学生" + std::to_string(s), s, sex, std::string(), std::move(scores),
                   "第" + std::to_string(from + 1) + "中学");
    }

    // Exclusive groups among distinct students; pre-assignments among the
    // others, so that the greedy division never has to break a group.
    std::vector<int> order(static_cast<std::size_t>(cohort.students));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    const std::size_t grouped = static_cast<std::size_t>(cohort.groupedShare * cohort.students);
    std::size_t next = 0;
    for (int group = 0; next + 2 <= grouped; ++group) {
        const std::size_t size = std::min<std::size_t>(2 + static_cast<std::size_t>(uniform(3)), grouped - next);
        std::vector<std::string> members;
        for (std::size_t k = 0; k < size; ++k)
            members.push_back("s" + std::to_string(order[next++]));
        AddGroup(task, "g" + std::to_string(group), members);
    }
    const std::size_t presets = static_cast<std::size_t>(cohort.presetShare * cohort.students);
    for (std::size_t k = 0; k < presets && next < order.size(); ++k)
        AddPreset(task, "s" + std::to_string(order[next++]), "c" + std::to_string(uniform(cohort.classes)));
    if (!cohort.rules)
        return;

    CDivisionRules& rules = task.GetDivisionRules();
    rules.SetScoreBands(CDivisionRules::DefaultScoreBands());
    rules.SetSameNameApart(true);
    rules.SetConditionNames({"#住校", "#特长"});
    static const char* const kTalents[] = {"美术", "体育", "音乐"};
    for (int s = 0; s < cohort.students; ++s) {
        const bool boards = random() % 100 < 30;
        const bool talent = random() % 100 < 5;
        rules.SetConditions("s" + std::to_string(s),
                            {boards ? "是" : "否", talent ? kTalents[uniform(3)] : std::string()});
    }
    for (int pair = 0; pair < cohort.togetherPairs && next + 2 <= order.size(); ++pair) {
        const std::string a = "s" + std::to_string(order[next++]);
        const std::string b = "s" + std::to_string(order[next++]);
        rules.TogetherGroups().push_back({"t" + std::to_string(pair), {a, b}});
    }
    for (int pair = 0; pair < cohort.sameNamePairs && next + 2 <= order.size(); ++pair) {
        for (int k = 0; k < 2; ++k) {
            auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>("s" + std::to_string(order[next++]));
            student->SetName("同名" + std::to_string(pair));
        }
    }
}

// Divides a task with the engine on this thread, without writing files.
inline void DivideInMemory(CScheduleTask& task, std::uint64_t seed)
{
    CDivisionCore division;
    division.Init(nullptr, &task);
    division.SetSaveFiles(false);
    division.SetSeed(seed);
    division.RunSynchronously();
}

} // namespace testsupport
