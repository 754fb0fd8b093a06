#include "cli/cli_app.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "cli/wire_trace.h"
#include "rawgen/raw_generator.h"
#include "temp_dir.h"

namespace velacor::cli {
namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Cli, InfoPrintsTheIdentityAndTracesRequestsInOrder) {
    const CliRun run = Cli({"--device", "virtual", "--trace", "info"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Sensor Device: Brenmoor Velacor Nitrate Sensor\n"
              "Sensor Name: Demo Sensor\n"
              "Sensor Serial Number: 1042\n"
              "Processing Board Serial Number: 317\n"
              "Bootloader Version: 3\n"
              "Firmware Version: 1.4.2\n"
              "Supply (V): 12.1\n"
              "Temperature (C): 21.5\n"
              "Measurement: 0\n");
    std::vector<std::string> requests;
    for (const auto& line : Lines(run.err)) {
        if (line.starts_with(">"))
            requests.push_back(line);
    }
    EXPECT_EQ(requests, (std::vector<std::string>{"> 04 01 00", "> 06 01 00", "> 26 01 00",
                                                  "> 27 01 00", "> 24 01 00"}));
}

TEST(Cli, LegacyFirmwareTraceShowsEachFallback) {
    const CliRun run = Cli({"--device", "virtual:legacy", "--trace", "info"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.err);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"> 04 01 00", "< 09", "> 00 01 00"}));
    EXPECT_TRUE(lines[3].starts_with("< 00 01 02 44 65 6d 6f")) << lines[3];  // "Demo"
    EXPECT_EQ(std::vector(lines.begin() + 4, lines.begin() + 7),
              (std::vector<std::string>{"> 06 01 00", "< 09", "> 00 01 00"}));
    EXPECT_NE(run.out.find("Firmware Version: VELACOR_2_8_3\n"), std::string::npos);
}

TEST(Cli, ListStartAndStopOnTheVirtualSensor) {
    const CliRun list = Cli({"--device", "virtual:bootloader,dic", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "Demo Sensor,1042,Bootloader (v3),Brenmoor Velacor DIC Sensor,virtual/0\n");
    EXPECT_EQ(Cli({"--device", "virtual", "start", "2"}).status, 0);
    EXPECT_EQ(Cli({"--device", "virtual", "stop"}).status, 0);
    const CliRun bootloader = Cli({"--device", "virtual:bootloader", "start"});
    EXPECT_EQ(bootloader.status, 1);
    EXPECT_EQ(bootloader.err, "Unable get state machine configuration from sensor\n");
}

TEST(Cli, WrongUsageExitsWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"--bogus", "info"},
             {"--device", "virtual:purple", "info"},
             {"--device", "virtually", "info"},
             {"--device", "virtual", "start", "255"},
             {"--device", "virtual", "start", "1x"},
             {"--device", "virtual", "info", "extra"},
             {"--device", "--trace", "info"},
         }) {
        EXPECT_EQ(Cli(args).status, 2) << (args.empty() ? "" : args.back());
    }
    const CliRun noValue = Cli({"--device"});
    EXPECT_EQ(noValue.status, 2);
    EXPECT_NE(noValue.err.find("option '--device' needs a value"), std::string::npos);
    const CliRun later = Cli({"report", "-o", "x.log"});
    EXPECT_EQ(later.status, 1);
    EXPECT_EQ(later.err, "velacor-cli: 'report' is not available yet\n");
}

TEST(Cli, EveryCommandAndSubcommandPrintsItsHelpAndDoesNothingElse) {
    velacor::testing::TempDir dir;
    const std::string file = dir / "--help";
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  info"), std::string::npos);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"start", "--help"},
             {"sm", "summary", "in.asm", "-o", "out.csv", "--help"},
             {"process", "nutrient", "--help"},
             {"list", "-h"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 0) << args[0] << ' ' << args[1];
        EXPECT_TRUE(
            run.out.starts_with("usage: velacor-cli [--device DEVICE] [--trace] " + args[0]))
            << run.out;
        EXPECT_EQ(run.err, "");
    }
    EXPECT_EQ(Cli({"sm", "pull", "--help"}).out,
              "usage: velacor-cli [--device DEVICE] [--trace] sm pull FILE\n"
              "  the sensor's state machine into FILE\n");
    EXPECT_NE(Cli({"sm", "--help"}).out.find("  sm dryrun FILE [--start N]"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("--help"));
    // After "--" a file may be called "--help".
    EXPECT_EQ(Cli({"--device", "virtual", "sm", "pull", "--", file}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(file));
}

// On a machine without sensors the list is empty; with sensors, rows of five fields.
TEST(Cli, RealSensorsAreListedAndAMissingOneFailsToConnect) {
    const CliRun run = Cli({"list"});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const auto& line : Lines(run.out))
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 4) << line;
    const CliRun missing = Cli({"--device", "/nonexistent/hidraw9", "info"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Failed to connect\n");
}

TEST(Cli, StateMachinePullConvertSummaryAndDryRun) {
    velacor::testing::TempDir dir;
    const std::string asmFile = dir / "demo.asm";
    const std::string datFile = dir / "demo.dat";
    ASSERT_EQ(Cli({"--device", "virtual", "sm", "pull", asmFile}).status, 0);
    EXPECT_EQ(std::filesystem::file_size(asmFile), 4u * 78u);
    ASSERT_EQ(Cli({"sm", "convert", asmFile, datFile}).status, 0);
    EXPECT_EQ(std::filesystem::file_size(datFile), 4u * 102u);
    EXPECT_EQ(Cli({"--device", "virtual", "sm", "push", datFile}).status, 0);

    const CliRun summary = Cli({"sm", "summary", asmFile});
    ASSERT_EQ(summary.status, 0) << summary.err;
    const auto lines = Lines(summary.out);
    ASSERT_EQ(lines.size(), 5u);  // titles and four states
    EXPECT_TRUE(lines[0].starts_with("state,mode,valves open,pump,leds on")) << lines[0];
    EXPECT_TRUE(lines[4].starts_with("3,sleeping,")) << lines[4];

    const CliRun dryRun = Cli({"sm", "dryrun", asmFile, "--start", "2"});
    ASSERT_EQ(dryRun.status, 0) << dryRun.err;
    const auto rows = Lines(dryRun.out);
    EXPECT_TRUE(rows[1].starts_with("2,")) << rows[1];
    EXPECT_EQ(rows.back(),
              "Dry run terminated after 1000 iterations to avoid probable infinite loop.");
    EXPECT_EQ(Cli({"sm", "summary", dir / "missing.asm"}).status, 1);
    EXPECT_EQ(Cli({"sm", "dryrun", asmFile, "--start"}).status, 2);
}

class ProcessCommand : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& text) {
        return m_dir.Write(name, text);
    }
    velacor::testing::TempDir m_dir;
};

// A CRM step of 0.2 V (2000 µmol/kg), then a sample taken in at 00:01:02 stepping 0.21 V.
std::string DicFile() {
    std::string text =
        "%VELACOR.HEADER_START\n%VELACOR.CHEMISTRY.TYPE=8\n"
        "%VELACOR.CHEMISTRY.INLET.0.TYPE=2\n%VELACOR.CHEMISTRY.INLET.0.MEASUREMENT_STATE=2\n"
        "%VELACOR.CHEMISTRY.INLET.0.CRM_VALUE=2000\n"
        "%VELACOR.CHEMISTRY.INLET.1.TYPE=1\n%VELACOR.CHEMISTRY.INLET.1.INTAKE_STATE=3\n"
        "%VELACOR.CHEMISTRY.INLET.1.MEASUREMENT_STATE=4\n%VELACOR.HEADER_END\n";
    const auto row = [](int state, double ch0, unsigned time) {
        return std::to_string(time) + "," + std::to_string(state) + "," + std::to_string(ch0) +
               ",0,0,0,0,0,0,0,12.5,12.1,0,0," + std::to_string(time) + "\n";
    };
    unsigned t = 1767225600;
    for (auto [state, first, rest] : {std::tuple{2, 0.1, 0.3},
                                      {0, 0.0, 0.0},
                                      {3, 0.0, 0.0},
                                      std::tuple{4, 0.1, 0.31},
                                      {0, 0.0, 0.0}})
        for (int i = 0; i < 31; ++i)
            text += row(state, i == 0 ? first : rest, t++);
    return text;
}

TEST_F(ProcessCommand, PrintsWhatSaveWritesAndTheLogOnRequest) {
    const std::string raw = Write("QXT0001.CSV", DicFile());
    CliRun run = Cli({"process", "dic", raw});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Time (platform),Meas State,DIC (umol/kg),Sample Step (V),CRM Step (V),"
              "Temperature (C),Validity\n"
              "01/01/2026 00:01:02,4,2100.000,0.210,0.200,0.000,good\n");
    EXPECT_EQ(run.err, "");

    run = Cli({"process", "dic", raw, "--log"});
    EXPECT_EQ(Lines(run.err).back(), "processed DIC result at 1767225662 = 2100.000000");

    const std::string out = m_dir / "out.csv";
    const CliRun saved = Cli({"process", "dic", raw, "-o", out});
    ASSERT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out, "");
    EXPECT_EQ(velacor::testing::ReadWholeFile(out), run.out);
}

// The messages are the processing's own; the command prints them alone on standard error.
TEST_F(ProcessCommand, FailuresGoToStandardErrorAndWrongUsageExitsWithTwo) {
    const CliRun run = Cli({"process", "nutrient", Write("dic.csv", DicFile())});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "This file has the wrong chemistry type for Nutrient processing.\n");
    EXPECT_EQ(run.out, "");
    const std::string bare = Write("bare.csv", "1,2,3\n");
    for (const std::vector<std::string>& usage : {std::vector<std::string>{"process"},
                                                  {"process", "nutrient"},
                                                  {"process", "ph", bare, bare},
                                                  {"process", "salt", bare},
                                                  {"process", "ta", "-x", bare}})
        EXPECT_EQ(Cli(usage).status, 2);
}

TEST_F(ProcessCommand, NeverWritesOverItsInput) {
    const std::string raw = Write("QXT0001.CSV", DicFile());
    std::filesystem::create_symlink(raw, m_dir / "link.csv");
    for (const std::string& out : {raw, m_dir / "link.csv"}) {
        const CliRun run = Cli({"process", "dic", raw, "-o", out});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err,
                  "Unable to write " + out + ": it is the input file, choose another name\n");
    }
    EXPECT_EQ(velacor::testing::ReadWholeFile(raw), DicFile());

    const std::string asmFile = m_dir / "x.asm";
    ASSERT_EQ(Cli({"--device", "virtual", "sm", "pull", asmFile}).status, 0);
    const std::string before = velacor::testing::ReadWholeFile(asmFile);
    EXPECT_EQ(Cli({"sm", "summary", asmFile, "-o", asmFile}).status, 1);
    EXPECT_EQ(velacor::testing::ReadWholeFile(asmFile), before);
}

TEST_F(ProcessCommand, SeveralFilesNameEveryFileThatGaveNothing) {
    rawgen::Options options;
    options.cycles = 2;
    const std::string good = Write("good.csv", rawgen::GenerateString(options));
    const std::string missing = m_dir / "missing.csv";
    std::filesystem::create_directory(m_dir / "folder.csv");
    const std::string bare = Write("bare.csv", "1,2,3\n");
    const CliRun run =
        Cli({"process", "nutrient-multi", good, missing, m_dir / "folder.csv", bare});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Can't open file " + missing + "\nCan't open file " + m_dir / "folder.csv" +
                           "\n" + bare + ": Failed to read sensor parameters from file header\n");
    EXPECT_EQ(Lines(run.out).size(), 3u);  // the heading and the good file's two results
    EXPECT_EQ(Cli({"process", "nutrient-multi", good}).status, 0);
}

// The program itself, so that what reaches a real standard output is tested.
int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ProcessCommand, AFailedWriteToStandardOutputFailsAndOutputMayBeADevice) {
    const std::string raw = Write("QXT0001.CSV", DicFile());
    const std::string err = m_dir / "err.txt";
    const std::string program = VELACOR_CLI;
    for (const std::string& args : {" process dic " + raw, std::string(" sm --help")}) {
        EXPECT_EQ(Shell(program + args + " > /dev/full 2> " + err), 1) << args;
        EXPECT_EQ(velacor::testing::ReadWholeFile(err),
                  "velacor-cli: cannot write to standard output\n");
    }
    const std::string out = m_dir / "out.txt";
    EXPECT_EQ(Shell(program + " process dic " + raw + " -o /dev/stdout > " + out + " 2> " + err), 0)
        << velacor::testing::ReadWholeFile(err);
    EXPECT_EQ(velacor::testing::ReadWholeFile(out), Cli({"process", "dic", raw}).out);
}

// Answers in the legacy trace above; a request shows its payload up to its length.
TEST(WireTrace, RequestLineStopsAtItsLength) {
    link::HidReport request{};
    request[1] = 0x92;
    request[2] = 1;
    request[5] = 4;
    request[6] = 0x20;
    request[20] = 0x77;
    EXPECT_EQ(FormatRequestLine(request), "> 92 01 04 20 00 00 00");
}

}  // namespace
}  // namespace velacor::cli
