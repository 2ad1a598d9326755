// The report's order and de-duplication over many findings: files in the order named, then the
// others by name; lines and columns within a file; the order found where places tie; a warning
// at an error's place left out, whole-file findings never.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "check/Findings.h"

namespace {

std::vector<std::string> lines(const std::vector<Finding>& findings) {
    std::vector<std::string> out;
    for (const Finding& finding : findings)
        out.push_back(formatFinding(finding));
    return out;
}

TEST(Findings, ManyFindingsAreOrderedByFileAndPlaceWithWarningsAtErrorsLeftOut) {
    constexpr int kLines = 6000;
    const std::vector<std::string> found = {"z.xml", "a.xml", "c.xml", "b.xml"};
    Findings findings;
    findings.fileLoaded("b.xml");
    findings.fileLoaded("a.xml");
    findings.fileLoaded("b.xml");
    // Last line first, so that nothing comes out in the order it went in.
    for (int line = kLines; line >= 1; --line) {
        for (const std::string& file : found) {
            findings.warning({file, line, 2}, "w");
            if (line % 10 == 0) {
                findings.error({file, line, 2}, "e");
                findings.note({file, line, 2}, "n");
                findings.warning({file, line, 1}, "before");
            }
        }
    }
    for (const std::string& file : found) {
        findings.error({file, 0, 0}, "file");
        findings.warning({file, 0, 0}, "kept");
    }

    std::vector<std::string> expected;
    for (const std::string file : {"b.xml", "a.xml", "c.xml", "z.xml"}) {
        expected.push_back(file + ": error: file");
        expected.push_back(file + ": warning: kept");
        for (int line = 1; line <= kLines; ++line) {
            const std::string place = file + ":" + std::to_string(line);
            if (line % 10 != 0) {
                expected.push_back(place + ":2: warning: w");
                continue;
            }
            expected.push_back(place + ":1: warning: before");
            expected.push_back(place + ":2: error: e");
            expected.push_back(place + ":2: note: n");
        }
    }
    EXPECT_EQ(expected, lines(findings.sorted()));
    EXPECT_EQ(4 + 4 * kLines / 10, findings.count(Severity::Error));
    EXPECT_EQ(4 + 4 * (kLines - kLines / 10) + 4 * kLines / 10, findings.count(Severity::Warning));
}

} // namespace
