// Precomputing the search keys of 20,000 names, as a record picker does when
// it opens: each UTF-8 name to GBK, then its full syllables and its initials.
#include "logic/pinyin/PinyinConverter.h"
#include "base/util/TextCodec.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kNames = 20000;

// Names of two or three GB2312 characters, some with a class number.
std::vector<std::string> MakeNames()
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> zone(16, 87);
    std::uniform_int_distribution<int> position(1, 89);
    std::vector<std::string> names;
    names.reserve(kNames);
    for (int i = 0; i < kNames; ++i) {
        std::string gbk;
        for (int k = 0, length = 2 + i % 2; k < length; ++k) {
            gbk += static_cast<char>(zone(random) + 0xA0);
            gbk += static_cast<char>(position(random) + 0xA0);
        }
        if (i % 10 == 0)
            gbk += std::to_string(i % 7 + 1);
        names.push_back(CTextCodec::FromGbk(gbk));
    }
    return names;
}

struct SearchKeys
{
    std::string full;
    std::string initials;
};

void BM_PrecomputeSearchKeys(benchmark::State& state)
{
    const std::vector<std::string> names = MakeNames();
    CPinyinConverter full;
    CPinyinConverter initials;
    initials.SetInitialsOnly(true);
    for (auto _ : state) {
        std::vector<SearchKeys> keys(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string gbk = CTextCodec::ToGbk(names[i]);
            keys[i].full = full.Transcribe(gbk);
            keys[i].initials = initials.Transcribe(gbk);
        }
        benchmark::DoNotOptimize(keys.data());
    }
    state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_PrecomputeSearchKeys)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
