// The number tools on a million numbers, each against the shell tools that would do the same
// job in the same run:
//
//   cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON -DBUILD_UI=OFF -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench number_tools_bench && build-bench/bin/number_tools_bench
//
// DivideByProvince (reading the file, dividing, writing the province files) is to take at
// most the time of SortUnique ("sort -u") on the same file; Unsent (reading both files,
// the multiset difference, writing it) at most half of SortComm ("sort A > a; sort B > b;
// comm -23 a b", byte order). ClassifyMobileNumber is to reach 100 million numbers a second.
#include "send/SmsRules.h"
#include "support/TempDir.h"
#include "tools/NumberDivision.h"
#include "tools/NumberTextFile.h"
#include "tools/RegionTable.h"
#include "tools/UnsentExtraction.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#ifndef TELVORA_REGION_DB
#error "TELVORA_REGION_DB names the built mobileArea.db"
#endif

namespace telvora {
namespace {

constexpr std::size_t kListSize = 1'000'000;

// Numbers on real prefixes, spread over the segments of the region table.
std::vector<std::string> randomNumbers(std::size_t count, unsigned seed)
{
    static constexpr const char* prefixes[] = {"130", "133", "135", "138", "139", "150", "159", "166", "177", "180",
        "186", "188", "189", "199", "1700", "1349"};
    std::mt19937 random(seed);
    std::vector<std::string> numbers;
    numbers.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string number = prefixes[random() % std::size(prefixes)];
        while (number.size() < 11) {
            number += static_cast<char>('0' + random() % 10);
        }
        numbers.push_back(std::move(number));
    }
    return numbers;
}

void writeLines(const std::string& path, const std::vector<std::string>& lines)
{
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

void runShell(benchmark::State& state, const std::string& command)
{
    if (std::system(command.c_str()) != 0) {
        state.SkipWithError(("failed: " + command).c_str());
    }
}

struct Files
{
    test::TempDir temp;
    std::string numbers = temp.file("numbers.txt");
    std::string all = temp.file("all.txt");
    std::string sent = temp.file("sent.txt");

    Files()
    {
        writeLines(numbers, randomNumbers(kListSize, 1));
        // A send broken off after 90%: the sent file holds most numbers of the list, in
        // another order, plus a few the list never had.
        std::vector<std::string> list = randomNumbers(kListSize, 2);
        writeLines(all, list);
        std::vector<std::string> done(list.begin(), list.begin() + kListSize * 9 / 10);
        const std::vector<std::string> strangers = randomNumbers(kListSize / 10, 3);
        done.insert(done.end(), strangers.begin(), strangers.end());
        std::shuffle(done.begin(), done.end(), std::mt19937(4));
        writeLines(sent, done);
    }
};

Files& files()
{
    static Files instance;
    return instance;
}

void DivideByProvince(benchmark::State& state)
{
    CRegionTable regions;
    if (!regions.LoadFile(TELVORA_REGION_DB)) {
        state.SkipWithError("mobileArea.db missing");
        return;
    }
    const std::string out = files().temp.file("divide");
    for (auto _ : state) {
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        CNumberDivision division(regions);
        division.LoadFile(files().numbers);
        const DivisionOutcome outcome = division.WriteFiles(DivisionMode::ByProvince, {}, out + "/所属区域");
        benchmark::DoNotOptimize(outcome.files.size());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kListSize));
}

void SortUnique(benchmark::State& state)
{
    const std::string command = "LC_ALL=C sort -u " + files().numbers + " > " + files().temp.file("sorted.txt");
    for (auto _ : state) {
        runShell(state, command);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kListSize));
}

void LoadRegionTable(benchmark::State& state)
{
    for (auto _ : state) {
        CRegionTable regions;
        benchmark::DoNotOptimize(regions.LoadFile(TELVORA_REGION_DB));
    }
}

void Unsent(benchmark::State& state)
{
    const std::string out = files().temp.file("unsent.txt");
    for (auto _ : state) {
        std::filesystem::remove(out);
        CUnsentExtraction extraction;
        extraction.LoadFile(CUnsentExtraction::List::All, files().all);
        extraction.LoadFile(CUnsentExtraction::List::Sent, files().sent);
        benchmark::DoNotOptimize(AppendNumberLines(out, extraction.Extract()));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kListSize * 2));
}

void SortComm(benchmark::State& state)
{
    const auto& f = files();
    const std::string a = f.temp.file("a"), b = f.temp.file("b");
    const std::string command = "export LC_ALL=C; sort " + f.all + " > " + a + "; sort " + f.sent + " > " + b
        + "; comm -23 " + a + " " + b + " > " + f.temp.file("comm.txt");
    for (auto _ : state) {
        runShell(state, command);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kListSize * 2));
}

void ClassifyMobileNumbers(benchmark::State& state)
{
    constexpr std::size_t count = 10'000'000;
    // One buffer of eleven-byte numbers: the lookup, not the allocator, is measured.
    std::vector<std::string> some = randomNumbers(1 << 16, 5);
    some[7] = "14912345678";
    some[9] = "1391234567a";
    std::string buffer;
    buffer.reserve(count * 11);
    for (std::size_t i = 0; i < count; ++i) {
        buffer += some[i % some.size()];
    }
    for (auto _ : state) {
        int sum = 0;
        for (std::size_t i = 0; i < count; ++i) {
            sum += static_cast<int>(ClassifyMobileNumber(std::string_view(buffer).substr(i * 11, 11)));
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
}

BENCHMARK(DivideByProvince)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SortUnique)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadRegionTable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Unsent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SortComm)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ClassifyMobileNumbers)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace telvora

BENCHMARK_MAIN();
