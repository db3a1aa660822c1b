// SPDX-License-Identifier: MIT
// The nessel program as a subprocess: command line handling, the text and
// codec commands, decoding ACE, nameprep, and standard-input batches with
// failing lines.  (Commands that need a zone table: cli_zones_test.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_runner.h"
#include "test_support.h"

using nessel::test::run_program;
using nessel::test::RunResult;
using nessel::test::TempDir;

namespace {

// Every run gets a private, empty per-user store.
class Program : public ::testing::Test {
protected:
    RunResult run(const std::vector<std::string>& args, const std::string& in = {}) {
        return run_program(args, in,
                           {"HOME=" + home_.path(), "XDG_CONFIG_HOME=" + home_.path() + "/config",
                            "TMPDIR=" + home_.path()});
    }
    TempDir home_;
};

}  // namespace

TEST_F(Program, CommandLine) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* out_has;  // substring of stdout ("" for none)
        const char* err_has;  // substring of stderr
    } cases[] = {
        {{"--version"}, 0, "Nessel Version 4.0.31", ""},
        {{"--help"}, 0, "Exit status:", ""},
        {{"to-ace", "--help"}, 0, "to-ace", ""},
        {{}, 2, "", "usage: nessel"},
        {{"frobnicate"}, 2, "", "unknown command 'frobnicate'"},
        {{"to-ace", "--bogus"}, 2, "", "unknown option '--bogus'"},
        {{"to-unicode", "-c"}, 2, "", "needs a value"},
        {{"nameprep", "--flags", "NOT_A_FLAG", "x"}, 2, "", "bad flags"},
        {{"encode"}, 2, "", "missing ENCODING"},
        {{"convert", "-f", "klingon", "x"}, 2, "", "'klingon' is not a registered encoding"},
        {{"encodings", "extra"}, 2, "", "takes no arguments"},
        {{"to-unicode", "-c", "PUNYCODE", "xn--tda"}, 2, "", "3001 NESSEL_ERR_ARGUMENT"},
    };
    for (const auto& c : cases) {
        const RunResult r = run(c.args);
        const std::string what = c.args.empty() ? "(no args)" : c.args[0];
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err;
        EXPECT_NE(r.out.find(c.out_has), std::string::npos) << what << ": " << r.out;
        EXPECT_NE(r.err.find(c.err_has), std::string::npos) << what << ": " << r.err;
    }
    // Help names every command.
    const RunResult help = run({"--help"});
    for (const char* cmd : {"to-ace", "to-unicode", "nameprep", "encode", "decode", "convert",
                            "encodings", "zones", "update"})
        EXPECT_NE(help.out.find(std::string("nessel ") + cmd), std::string::npos) << cmd;
}

TEST_F(Program, EncodingsListsEnctypes) {
    const RunResult r = run({"encodings"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 8), "1\tascii\n");
    EXPECT_NE(r.out.find("\tPUNYCODE\n"), std::string::npos);
}

TEST_F(Program, EncodeDecodeConvert) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"encode", "racex", "bücher.de"}, "ra--abrpyy3imvza.de\n"},
        {{"encode", "RACE", "-p", "bq--", "ü"}, "bq--ad6a\n"},
        {{"encode", "PUNYCODE", "bücher", "ü"}, "xn--bcher-kva\nxn--tda\n"},
        {{"decode", "amc-z", "xn--bcher-kva.de"}, "bücher.de\n"},
        {{"decode", "race", "--prefix=bq--", "bq--ad6a.ra--ad6a"}, "ü.ra--ad6a\n"},
        {{"convert", "-t", "none", "ab"}, std::string("\0a\0b\n", 5)},
        {{"convert", "-f", "ascii", "-t", "racex", "plain"}, "plain\n"},
    };
    for (const auto& c : cases) {
        const RunResult r = run(c.args);
        EXPECT_EQ(r.status, 0) << c.args[0] << " " << c.args[1] << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[0] << " " << c.args[1];
    }
    // A character without a form in the target fails that item only.
    const RunResult r = run({"convert", "-t", "ascii", "ok", "bü", "fine"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ok\nfine\n");
    EXPECT_NE(r.err.find("nessel: convert: bü: text has no form in ascii"), std::string::npos)
        << r.err;
}

TEST_F(Program, ToUnicode) {
    RunResult r = run({"to-unicode", "xn--bcher-kva.de", "www.xn--fiq228c.xn--fiqs8s"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "bücher.de\nwww.中文.中国\n");
    r = run({"to-unicode", "-c", "Race", "ra--abrpyy3imvza.de"});
    EXPECT_EQ(r.out, "bücher.de\n");
    r = run({"to-unicode", "-c", "race", "-p", "zq--", "zq--ad6a.ra--ad6a"});
    EXPECT_EQ(r.out, "ü.ra--ad6a\n");
    // Undecodable items are named with their code; the others go on.
    r = run({"to-unicode", "-c", "race", "ra--ad6a", "ra--abc", "x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ü\nx\n");
    EXPECT_NE(r.err.find("nessel: to-unicode: ra--abc: 201 NESSEL_ERR_ACE_DECODE"),
              std::string::npos) << r.err;
    // Target encodings: a registered one, and one that is not.
    r = run({"to-unicode", "-t", "ascii", "xn--bcher-kva"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("202 NESSEL_ERR_TARGET_ENCODE"), std::string::npos) << r.err;
    r = run({"to-unicode", "-t", "no-such", "xn--bcher-kva"});
    EXPECT_NE(r.err.find("102 NESSEL_ERR_NO_TARGET"), std::string::npos) << r.err;
}

TEST_F(Program, StandardInputBatch) {
    // One item per line; "\r\n" endings, a last line without "\n", invalid
    // UTF-8 on one line: that line fails, the run goes on.
    const std::string in = "bücher\r\n\xC3\x28\nü\n\xF0\x9F\x98\x80\n\xED\xA0\x80\nlast";
    const RunResult r = run({"encode", "PUNYCODE"}, in);
    EXPECT_EQ(r.status, 1);
    // U+1F600 reaches the codec as its surrogate pair, encoded unit by unit
    // (Python: '\ud83d\ude00'.encode('punycode') == b'8c9bk9h').
    EXPECT_EQ(r.out, "xn--bcher-kva\nxn--tda\nxn--8c9bk9h\nlast\n");
    EXPECT_NE(r.err.find("line 2: input is not valid UTF-8"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 5: input is not valid UTF-8"), std::string::npos) << r.err;
    // Empty input: nothing to do, success.
    EXPECT_EQ(run({"decode", "amc-z"}, "").status, 0);
}

TEST_F(Program, Nameprep) {
    RunResult r = run({"nameprep", "ÖBB.AT", "Straße", "ａｂｃ。ｊｐ"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "öbb.at\nstrasse\nabc.jp\n");
    // Flags by name or number; without LOCAL_RULES "_" passes.
    r = run({"nameprep", "--flags", "0", "a_b"});
    EXPECT_EQ(r.out, "a_b\n");
    r = run({"nameprep", "-f", "prep_local_rules", "a_b", "a.b"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("a_b: 204 PREP_ERR_LABEL_CHAR"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("a.b: 204"), std::string::npos) << r.err;
    r = run({"nameprep", "-f", "LOCAL_RULES,DELIMITERS", "a.b"});
    EXPECT_EQ(r.out, "a.b\n");
    r = run({"nameprep"}, "a b\nok\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ok\n");
    EXPECT_NE(r.err.find("line 1: 203 PREP_ERR_PROHIBITED"), std::string::npos) << r.err;
}
