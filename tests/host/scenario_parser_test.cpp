// The scenario parser: what each kind of line becomes, and the one-line
// message each kind of bad line gives.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "scenario.h"

namespace kob::host {
namespace {

Scenario parse(const std::string& body) { return parseScenario("config a.ini\n" + body, "dir/s.scn"); }

ScenarioEvent only(const std::string& line) {
    const Scenario s = parse(line + "\n");
    EXPECT_EQ(s.events.size(), 1u);
    return s.events.at(0);
}

TEST(ScenarioParser, ReadsPathsRelativeToTheScenarioFolder) {
    const Scenario s = parseScenario("# header\nconfig sub/a.ini  # the INI\nroot ../sounds\nend 3\n", "dir/s.scn");
    EXPECT_EQ(s.config, std::filesystem::path("dir/sub/a.ini"));
    EXPECT_EQ(s.root, std::filesystem::path("dir/../sounds"));
    EXPECT_EQ(s.configLine.line, 2);
    EXPECT_DOUBLE_EQ(s.end, 3.0);
}

TEST(ScenarioParser, RootDefaultsToTheScenarioFolderAndEndToTheLastEvent) {
    const Scenario s = parse("2.5 set a 1\n1 set b 2\n");
    EXPECT_EQ(s.root, std::filesystem::path("dir"));
    EXPECT_DOUBLE_EQ(s.end, 2.5);
}

TEST(ScenarioParser, SortsByTimeKeepingFileOrderWithinATime) {
    const Scenario s = parse("1 set a 1\n0.5 set b 1\n1 set c 1\n0.5 set d 1\n");
    std::string order;
    for (const auto& e : s.events) order += std::get<event::Set>(e.action).name;
    EXPECT_EQ(order, "bdac");
    EXPECT_EQ(s.events[0].where.line, 3);
}

TEST(ScenarioParser, SetAndExpectTakeNumbersIncludingNan) {
    const auto set = std::get<event::Set>(only("0 set engine -300001").action);
    EXPECT_EQ(set.name, "engine");
    EXPECT_DOUBLE_EQ(set.value, -300001.0);
    const auto expect = std::get<event::Expect>(only("1.5 expect engine nan").action);
    EXPECT_TRUE(std::isnan(expect.value));
    EXPECT_DOUBLE_EQ(only("1.5 expect engine 0.99").time, 1.5);
}

TEST(ScenarioParser, SimulatorEvents) {
    EXPECT_EQ(std::get<event::SimSound>(only("0 sim sound 256").action).state, 256);
    EXPECT_TRUE(std::get<event::SimPause>(only("0 sim pause").action).paused);
    EXPECT_FALSE(std::get<event::SimPause>(only("0 sim resume").action).paused);
    EXPECT_EQ(std::get<event::SimTimeOfDay>(only("0 sim timeofday 255").action).value, 255);
    EXPECT_FALSE(std::get<event::SimGlobal>(only("0 sim global absent").action).present);
    EXPECT_TRUE(std::get<event::SimGlobal>(only("0 sim global present").action).present);
}

TEST(ScenarioParser, DebuggerAndAudioEvents) {
    EXPECT_EQ(std::get<event::Click>(only("0 click next").action).area, event::Click::Area::Next);
    EXPECT_EQ(std::get<event::Click>(only("0 click previous").action).area, event::Click::Area::Previous);
    const auto text = std::get<event::ExpectText>(only("0 expect-text file  Wav = ./a b.wav  ").action);
    EXPECT_EQ(text.line, event::ExpectText::Line::File);
    EXPECT_EQ(text.text, "Wav = ./a b.wav");
    EXPECT_EQ(std::get<event::ExpectText>(only("0 expect-text variable Configuration File").action).text,
              "Configuration File");
    EXPECT_TRUE(std::get<event::ExpectAudio>(only("1 expect audio sound").action).sound);
    EXPECT_FALSE(std::get<event::ExpectAudio>(only("1 expect audio silence").action).sound);
}

TEST(ScenarioParser, Faults) {
    using Kind = event::Fault::Kind;
    struct Case {
        const char* line;
        Kind kind;
        std::optional<int> slot;
        std::uint32_t count;
    };
    const Case cases[] = {
        {"0 fault lose 3", Kind::Lose, 3, 0},
        {"0 fault lose all 2", Kind::Lose, std::nullopt, 2},
        {"0 fault lose 0 forever", Kind::Lose, 0, event::kForeverCount},
        {"0 fault create-buffer 2", Kind::CreateBuffer, std::nullopt, 2},
        {"0 fault play 1 4", Kind::Play, 4, 1},
        {"0 fault lock forever", Kind::Lock, std::nullopt, event::kForeverCount},
        {"0 fault getstatus 3 1", Kind::GetStatus, 1, 3},
        {"0 fault restore 5 2", Kind::Restore, 2, 5},
        {"0 fault device", Kind::Device, std::nullopt, 1},
        {"0 fault cooperative 2", Kind::Cooperative, std::nullopt, 2},
        {"0 fault clear", Kind::Clear, std::nullopt, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto f = std::get<event::Fault>(only(c.line).action);
        EXPECT_EQ(f.kind, c.kind);
        EXPECT_EQ(f.slot, c.slot);
        EXPECT_EQ(f.count, c.count);
    }
}

TEST(ScenarioParser, BadLinesNameTheFileTheLineAndTheFault) {
    struct Case {
        const char* line;
        const char* message;
    };
    const Case cases[] = {
        {"1.0 jump", "unknown event `jump`"},
        {"x set a 1", "the time is not a number: x"},
        {"-1 set a 1", "the time must be a number of seconds, 0 or more"},
        {"1 set a", "expected `T set NAME VALUE`"},
        {"1 set a loud", "the value is not a number: loud"},
        {"1 expect a 1 2", "expected `T expect NAME VALUE`"},
        {"1 expect audio loud", "expected `sound` or `silence`"},
        {"1 sim sound x", "the sound state is not a whole number: x"},
        {"1 sim timeofday 256", "the time of day must be 0 to 255"},
        {"1 sim global maybe", "expected `absent` or `present`"},
        {"1 sim weather", "unknown simulator event `weather`"},
        {"1 click middle", "expected `previous` or `next`"},
        {"1 expect-text title x", "expected `file`, `variable` or `number`"},
        {"1 fault", "expected `T fault NAME [ARGS]`"},
        {"1 fault melt", "unknown fault `melt`"},
        {"1 fault lose 100", "the slot must be 0 to 99"},
        {"1 fault play 0", "the count must be 1 to 1000000"},
        {"1 fault create-buffer 1 2", "expected `T fault create-buffer N`"},
        {"end", "expected `end T`"},
        {"7", "expected `T EVENT ...`"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        try {
            parse(std::string("\n") + c.line + "\n");
            ADD_FAILURE() << "accepted";
        } catch (const ScenarioError& error) {
            const std::string what = error.what();
            EXPECT_EQ(what.rfind("dir/s.scn:3: ", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
            EXPECT_EQ(what.find('\n'), std::string::npos) << what;
        }
    }
}

TEST(ScenarioParser, WholeFileProblems) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"0 set a 1\n", "dir/s.scn: no `config PATH` line"},
        {"config a.ini\nconfig b.ini\n", "dir/s.scn:2: a second config line"},
        {"config a.ini\nend 1\nend 2\n", "dir/s.scn:3: a second end line"},
        {"config a.ini\nend 1\n2 set a 1\n", "dir/s.scn:3: after the end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            parseScenario(c.text, "dir/s.scn");
            ADD_FAILURE() << "accepted";
        } catch (const ScenarioError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
        }
    }
}

TEST(ScenarioParser, AMissingFileIsOneLine) {
    try {
        readScenario("/nonexistent/folder/x.scn");
        ADD_FAILURE() << "accepted";
    } catch (const ScenarioError& error) {
        EXPECT_STREQ(error.what(), "/nonexistent/folder/x.scn: cannot read the scenario");
    }
}

}  // namespace
}  // namespace kob::host
