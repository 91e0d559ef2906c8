// Every fuzz target runs over its seed corpus and over every input a fuzz run once found
// faulty (fuzz/<target>/regressions): a fault that comes back stops this test under the
// sanitizers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzTargets.h"

// A parser that believes a size field of the input allocates what it says: no single
// allocation of the logic comes near this, so one that does is a fault found.
extern "C" const char* __asan_default_options()
{
    return "max_allocation_size_mb=256";
}

namespace {

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

std::vector<std::uint8_t> Bytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FuzzReplay : public testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzReplay, SeedsAndFoundFaultsRunClean)
{
    const std::filesystem::path folder = std::filesystem::path(MOVARA_FUZZ_DIR) / GetParam().name;
    const std::vector<std::filesystem::path> seeds = FilesIn(folder / "corpus");
    EXPECT_FALSE(seeds.empty()) << "no seed corpus in " << folder;
    std::vector<std::filesystem::path> inputs = seeds;
    for (const auto& found : FilesIn(folder / "regressions")) {
        inputs.push_back(found);
    }
    for (const auto& file : inputs) {
        SCOPED_TRACE(file.string());
        const std::vector<std::uint8_t> bytes = Bytes(file);
        GetParam().body(bytes.data(), bytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(fuzzTargets),
                         [](const testing::TestParamInfo<FuzzTarget>& info) { return std::string(info.param.name); });

} // namespace
