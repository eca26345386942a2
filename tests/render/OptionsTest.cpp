#include "ParameterSetting.h"
#include "ProgressBar.h"
#include "RenderOptions.h"
#include "RenderTesting.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const std::vector<std::string> names = {"  Pitch  ", " Amp Atk ", " Amp Dcy ",    " Amp Sus ",
                                        " Amp Rls ", "",          " LFO Sync On "};

std::string optionsFailure(const std::vector<std::string>& args) {
    return failureOf([&args] { RenderOptions::parse(args); });
}

}  // namespace

TEST(ParameterSetting, FindsANameWithItsBlanksTrimmedInAnyCase) {
    const ParameterSetting setting = ParameterSetting::parse("amp RLS=0.3", names);
    EXPECT_EQ(setting.index, 4);
    EXPECT_FLOAT_EQ(setting.value, 0.3f);
    EXPECT_EQ(ParameterSetting::parse("  LFO Sync On = 1", names).index, 6);
}

TEST(ParameterSetting, TakesAnIndexThatHasAName) {
    EXPECT_EQ(ParameterSetting::parse("4=0.25", names).index, 4);
    EXPECT_THROW(ParameterSetting::parse("5=0.25", names), std::runtime_error);
    EXPECT_THROW(ParameterSetting::parse("7=0.25", names), std::runtime_error);
}

TEST(ParameterSetting, RefusesUnknownNamesAndValuesOutsideZeroToOne) {
    EXPECT_EQ(
        failureOf([] { ParameterSetting::parse("Volume=0.5", names); }),
        "unknown parameter \"Volume\" (the parameters are: Pitch, Amp Atk, Amp Dcy, Amp Sus, Amp Rls, LFO Sync On)");
    for (const char* text : {"Amp Sus=1.5", "Amp Sus=-0.1", "Amp Sus=half", "Amp Sus=", "Amp Sus"}) {
        EXPECT_THROW(ParameterSetting::parse(text, names), std::runtime_error) << text;
    }
}

TEST(RenderOptions, ReadsEveryOption) {
    const RenderOptions options =
        RenderOptions::parse({"--loop",   "a.rex",     "--midi",   "b.mid", "-o",       "c.wav", "--program", "p.fxp",
                              "--param",  "Amp Sus=1", "--param",  "4=0.3", "--block",  "64",    "--tail",    "0.5",
                              "--repeat", "3",         "--format", "24",    "--plugin", "x.so"});
    EXPECT_EQ(options.loop, "a.rex");
    EXPECT_EQ(options.midi, "b.mid");
    EXPECT_EQ(options.output, "c.wav");
    EXPECT_EQ(options.program, "p.fxp");
    EXPECT_EQ(options.parameters, (std::vector<std::string>{"Amp Sus=1", "4=0.3"}));
    EXPECT_EQ(options.blockSize, 64);
    EXPECT_DOUBLE_EQ(options.tailSeconds, 0.5);
    EXPECT_EQ(options.repeat, 3u);
    EXPECT_EQ(options.format, WavWriter::Format::pcm24);
    EXPECT_EQ(options.plugin, "x.so");
}

TEST(RenderOptions, DefaultsToBlocksOf512FloatSamplesAndATwoSecondTail) {
    const RenderOptions options = RenderOptions::parse({"--loop", "a.rex", "--midi", "b.mid", "--output", "c.wav"});
    EXPECT_EQ(options.blockSize, 512);
    EXPECT_DOUBLE_EQ(options.tailSeconds, 2.0);
    EXPECT_EQ(options.repeat, 1u);
    EXPECT_EQ(options.format, WavWriter::Format::float32);
}

TEST(RenderOptions, RefusesMissingAndMalformedValues) {
    EXPECT_NE(optionsFailure({"--loop", "a.rex", "--output", "c.wav"}).find("--midi"), std::string::npos);
    EXPECT_NE(optionsFailure({"--loop", "a.rex", "--midi", "b.mid"}).find("--output"), std::string::npos);
    EXPECT_NE(optionsFailure({"--midi", "b.mid", "--output", "c.wav"}).find("--loop"), std::string::npos);
    EXPECT_NE(optionsFailure({"--export-groove", "g.mid"}).find("--loop"), std::string::npos);
    EXPECT_NE(optionsFailure({"--block", "0"}).find("1 to 65536"), std::string::npos);
    EXPECT_NE(optionsFailure({"--block", "12.5"}).find("whole number"), std::string::npos);
    EXPECT_NE(optionsFailure({"--tail", "-1"}).find("--tail"), std::string::npos);
    EXPECT_NE(optionsFailure({"--format", "16"}).find("float or 24"), std::string::npos);
    EXPECT_NE(optionsFailure({"--speed", "2"}).find("unknown option --speed"), std::string::npos);
    EXPECT_NE(optionsFailure({"--loop"}).find("needs a value"), std::string::npos);
    EXPECT_NE(optionsFailure({"song.mid"}).find("unexpected argument"), std::string::npos);
}

// The Linux library follows the rate it is given; the Windows one plays at 44.1 kHz only, and a
// WAV file labelled otherwise would play at the wrong speed.
TEST(RenderOptions, TakesTheRatesTheLibraryPlaysAt) {
    const std::vector<std::string> song = {"--loop", "a.rex", "--midi", "b.mid", "-o", "c.wav"};
    EXPECT_EQ(RenderOptions::parse(song).sampleRate, 44100);
    std::vector<std::string> at48k = song;
    at48k.insert(at48k.end(), {"--rate", "48000"});
#ifdef _WIN32
    EXPECT_NE(optionsFailure(at48k).find("44100 Hz only"), std::string::npos);
#else
    EXPECT_EQ(RenderOptions::parse(at48k).sampleRate, 48000);
    for (const char* rate : {"0", "-44100", "7999", "384001", "44100.5", "nan"}) {
        EXPECT_NE(optionsFailure({"--rate", rate}).find("--rate"), std::string::npos) << rate;
    }
#endif
}

TEST(RenderOptions, HelpExplainsEveryOption) {
    EXPECT_TRUE(RenderOptions::parse({"--loop", "a.rex", "--help"}).help);
    const std::string usage = RenderOptions::usage();
    for (const char* option : {"--loop", "--midi", "--output", "--program", "--param", "--block", "--tail", "--repeat",
                               "--rate", "--format", "--plugin", "--export-groove", "--help"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

TEST(ProgressBar, ShowsTheShareDoneAndTheAudioTime) {
    EXPECT_EQ(ProgressBar::line(441000, 882000, 44100.0),
              "rendering [###############---------------]  50%  0:10 of 0:20");
    EXPECT_EQ(ProgressBar::line(882000 * 6, 882000 * 6, 44100.0),
              "rendering [##############################] 100%  2:00 of 2:00");
}

TEST(ProgressBar, DrawsNothingWhenNotOnATerminal) {
    std::ostringstream err;
    ProgressBar bar(err, false, 44100.0);
    bar.update(10, 20);
    bar.finish(20);
    EXPECT_EQ(err.str(), "");
}
