// A fuzz target in the ordinary build: every input of its corpus (the seeds and
// each input that once failed) goes through the target's checks again, which
// abort on a failure.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(FuzzCorpus, EveryInputPassesTheChecks)
{
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(HUVELLA_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        SCOPED_TRACE(entry.path().filename().string());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "no corpus at " << HUVELLA_CORPUS;
}
