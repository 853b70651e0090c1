// The replay tool, as a player's script runs through it: the sound log it prints is what
// the game plays, with the fixture's known lengths.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/support/game_fixture.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return output;
  std::array<char, 4096> buf;
  while (size_t n = std::fread(buf.data(), 1, buf.size(), pipe)) output.append(buf.data(), n);
  ::pclose(pipe);
  return output;
}

}  // namespace

TEST(ReplayTool, AScriptFromStartUpToTheFarewellGivesTheExpectedSoundLog) {
  const std::string folder = testing_support::MakeGameFolder();
  const std::string tool = CHIMEBOX_REPLAY_TOOL;
  const std::string scripts = CHIMEBOX_SOURCE_DIR "/tests/replay/";
  const std::string wav = folder + "mix.wav";
  const std::string log = RunCommand(tool + " --seed 3 --game " + folder + " --wav " + wav + " " + scripts +
                              "intro_to_farewell.txt");
  EXPECT_EQ(log, ReadText(scripts + "intro_to_farewell.expected"));
  // 2.5 s of 16-bit stereo at 48 kHz behind a 44-byte header.
  EXPECT_EQ(testing_support::ReadBytes(wav).size(), 44u + 2500u * 48u * 4u);
  testing_support::RemoveGameFolder(folder);
}

TEST(ReplayTool, ABadScriptIsRefusedWithItsLine) {
  const std::string folder = testing_support::MakeGameFolder();
  testing_support::WriteBytes(folder + "bad.txt", {'1', '0', ' ', 't', 'a', 'p', ' ', 'Q', '\n'});
  const std::string tool = CHIMEBOX_REPLAY_TOOL;
  const std::string out = RunCommand(tool + " --game " + folder + " " + folder + "bad.txt 2>&1; echo rc=$?");
  EXPECT_NE(out.find("line 1: unknown key 'Q'"), std::string::npos) << out;
  EXPECT_NE(out.find("rc=2"), std::string::npos) << out;
  testing_support::RemoveGameFolder(folder);
}
