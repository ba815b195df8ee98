// The publishing library's JSON reading: an answer over the size bound is
// refused before parsing, and the first depth or count bound reached ends
// the parsing, in time and memory that do not grow with the answer.
#include "qtvpublish/real/JsonAnswer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

using qtvpublish::CJsonBounds;
using qtvpublish::JsonAnswer;
using qtvpublish::ParseJsonAnswer;

namespace {

#if defined(__linux__)
// The process's peak resident size since the last reset, in KiB; -1 when
// the kernel does not say.
long PeakKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmHWM:") == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

bool ResetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}
#endif

struct CMeasured {
    JsonAnswer m_answer;
    double m_dSeconds;
    long m_nPeakGrowthKiB;  // -1 where it cannot be measured
};

CMeasured Measure(const std::string& text)
{
    [[maybe_unused]] long before = -1;
#if defined(__linux__)
    if (ResetPeak())
        before = PeakKiB();
#endif
    nlohmann::json out;
    const auto start = std::chrono::steady_clock::now();
    const JsonAnswer answer = ParseJsonAnswer(text, out);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    long growth = -1;
#if defined(__linux__)
    if (before >= 0)
        growth = PeakKiB() - before;
#endif
    EXPECT_TRUE(answer == JsonAnswer::Parsed || out.is_discarded());
    return {answer, seconds, growth};
}

TEST(JsonAnswer, AnAnswerOverTheCapIsRefusedBeforeParsing)
{
    const std::string brackets(32u << 20, '[');
    const CMeasured measured = Measure(brackets);
    EXPECT_EQ(measured.m_answer, JsonAnswer::TooLarge);
    // Parsed, these 32 MiB took 0.7 s and 430 MiB.
    EXPECT_LT(measured.m_dSeconds, 0.1);
    if (measured.m_nPeakGrowthKiB >= 0) {
        EXPECT_LT(measured.m_nPeakGrowthKiB, 4 * 1024);
    }

    // The cap itself is still read.
    nlohmann::json out;
    EXPECT_EQ(ParseJsonAnswer("\"12345678\"", out, CJsonBounds{9, 32, 100}), JsonAnswer::TooLarge);
    EXPECT_EQ(ParseJsonAnswer("\"1234567\"", out, CJsonBounds{9, 32, 100}), JsonAnswer::Parsed);
}

TEST(JsonAnswer, TheFirstBoundReachedEndsTheParsing)
{
    // Under the cap, the brackets would still make the parser keep a frame
    // for each of them (about 100 MiB) if it went on after the depth bound.
    const std::string brackets(CJsonBounds().m_nMaxBytes, '[');
    const CMeasured deep = Measure(brackets);
    EXPECT_EQ(deep.m_answer, JsonAnswer::TooDeep);
    EXPECT_LT(deep.m_dSeconds, 0.5);
    if (deep.m_nPeakGrowthKiB >= 0) {
        EXPECT_LT(deep.m_nPeakGrowthKiB, 4 * 1024);
    }

    // The depth bound counts the outermost level.
    const int depth = CJsonBounds().m_nMaxDepth;
    const std::string deepest = std::string(depth, '[') + std::string(depth, ']');
    nlohmann::json out;
    EXPECT_EQ(ParseJsonAnswer(deepest, out), JsonAnswer::Parsed);
    EXPECT_EQ(ParseJsonAnswer("[" + deepest + "]", out), JsonAnswer::TooDeep);
    EXPECT_EQ(ParseJsonAnswer(R"({"a":{"b":1}})", out, CJsonBounds{1024, 3, 100}), JsonAnswer::Parsed);
    EXPECT_EQ(ParseJsonAnswer(R"({"a":{"b":[1]}})", out, CJsonBounds{1024, 3, 100}), JsonAnswer::TooDeep);

    // Many values stop at the count, however many follow; the first bound
    // reached is the one reported.
    std::string many = "[";
    for (int i = 0; i < 10000; ++i)
        many += "0,";
    many += "0]";
    EXPECT_EQ(ParseJsonAnswer(many, out, CJsonBounds{1u << 20, 32, 100}), JsonAnswer::TooManyValues);
    EXPECT_TRUE(out.is_discarded());
    EXPECT_EQ(ParseJsonAnswer(many, out, CJsonBounds{1u << 20, 32, 20000}), JsonAnswer::Parsed);
    EXPECT_EQ(out.size(), 10001u);
    EXPECT_EQ(ParseJsonAnswer("[[[" + many + "]]]", out, CJsonBounds{1u << 20, 2, 100}), JsonAnswer::TooDeep);
    EXPECT_EQ(ParseJsonAnswer(many, out, CJsonBounds{100, 2, 100}), JsonAnswer::TooLarge);
}

TEST(JsonAnswer, AnswersAreReadWithoutTheirLinksAndBrokenOnesAreRefused)
{
    nlohmann::json out;
    ASSERT_EQ(ParseJsonAnswer(R"({"id":12,"source_url":"http://x/a.png","_links":{"self":[{"href":"h"}]},)"
                              R"("routes":{"/":{}},"media_details":{"routes":1}})",
                              out),
              JsonAnswer::Parsed);
    EXPECT_EQ(out["id"], 12);
    EXPECT_EQ(out["source_url"], "http://x/a.png");
    EXPECT_FALSE(out.contains("_links"));
    EXPECT_FALSE(out.contains("routes"));
    EXPECT_EQ(out["media_details"]["routes"], 1) << "only the index's own route list is skipped";

    for (const char* broken : {"", "{", "{\"a\":}", "[1,]", "<html>Error</html>", "{\"a\":1}x"}) {
        EXPECT_EQ(ParseJsonAnswer(broken, out), JsonAnswer::Malformed) << broken;
        EXPECT_TRUE(out.is_discarded());
    }
}

}  // namespace
