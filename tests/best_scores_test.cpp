#include "scores/best_scores.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/globals.h"
#include "tests/support/best_file_bytes.h"
#include "tests/support/scenario.h"

namespace {

using best_file::Bytes;
using best_file::Plain;
using best_file::Stored;

std::vector<int32_t> Table() {
  return std::vector<int32_t>(g_bestScores, g_bestScores + g_bestLastIndex + 1);
}

// best.dat as a real file in a game folder, read and written through the virtual platform.
class BestScoresTest : public ::testing::Test {
 protected:
  BestScoresTest() : game_(testing_support::DataFilesOnly()), path_(game_.folder + "best.dat") {}
  void SetUp() override {
    g_programFolder = game_.folder;
    g_bestLastIndex = 0;
  }

  Bytes File() const { return testing_support::ReadBytes(path_); }
  void SetFile(const Bytes& bytes) { testing_support::WriteBytes(path_, bytes); }
  bool FileExists() const { return std::filesystem::exists(path_); }
  size_t Writes() const { return game_.vp.LogOf("write").size(); }

  testing_support::Scenario game_;
  const std::string path_;
};

TEST_F(BestScoresTest, EmptyFileReadsAsOneZeroThenAWinStoresTwoRecords) {
  SetFile({});
  ASSERT_EQ(ReadBestScores(), 1);
  EXPECT_EQ(Table(), std::vector<int32_t>({0}));
  EXPECT_TRUE(File().empty());

  g_lastScore = 1234;
  RecordBestScore();
  EXPECT_EQ(File(), Stored(Plain({"1234", "0"})));
  ASSERT_EQ(ReadBestScores(), 1);
  EXPECT_EQ(Table(), std::vector<int32_t>({1234, 0}));
}

TEST_F(BestScoresTest, WinsEnterTheTableByTheirSize) {
  const std::vector<std::string> ten = {"900", "800", "700", "600", "500",
                                        "400", "300", "200", "100", "50"};
  struct Case {
    std::vector<std::string> before;
    int32_t win;
    std::vector<int32_t> after;
  };
  const Case cases[] = {
      // A full table keeps ten: the smallest goes only for a strictly greater score.
      {ten, 51, {900, 800, 700, 600, 500, 400, 300, 200, 100, 51}},
      {ten, 50, {900, 800, 700, 600, 500, 400, 300, 200, 100, 50}},
      {ten, 0, {900, 800, 700, 600, 500, 400, 300, 200, 100, 50}},
      {ten, 18000, {18000, 900, 800, 700, 600, 500, 400, 300, 200, 100}},
      // Equal scores stay separate records.
      {{"500"}, 500, {500, 500}},
      // A score of 0 still enters a table with room.
      {{"7", "3"}, 0, {7, 3, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.win);
    SetFile(Stored(Plain(c.before, 0x55)));
    g_lastScore = c.win;
    RecordBestScore();
    ASSERT_EQ(ReadBestScores(), 1);
    EXPECT_EQ(Table(), c.after);
  }
}

TEST_F(BestScoresTest, TrailingPieceShorterThanARecordIsIgnored) {
  Bytes bytes = Plain({"300", "20"});
  bytes.insert(bytes.end(), {'4', '4', '4', 0, 0, 0});
  SetFile(Stored(bytes));
  ASSERT_EQ(ReadBestScores(), 1);
  EXPECT_EQ(Table(), std::vector<int32_t>({300, 20}));
}

TEST_F(BestScoresTest, FileStaysInStoredFormAcrossReadsAndSaves) {
  const Bytes stored = Stored(Plain({"4000", "12", "12"}, 0xAA));
  SetFile(stored);
  ASSERT_EQ(ReadBestScores(), 1);
  ASSERT_EQ(ReadBestScores(), 1);
  EXPECT_EQ(Table(), std::vector<int32_t>({4000, 12, 12}));
  EXPECT_EQ(File(), stored);
  EXPECT_EQ(Writes(), 0u);  // reading never writes

  g_lastScore = 13;
  RecordBestScore();
  EXPECT_EQ(File(), Stored(Plain({"4000", "13", "12", "12"})));
  EXPECT_EQ(Writes(), 1u);  // the whole table in one write
}

TEST_F(BestScoresTest, ReadOnlyFileReadsCorrectlyAndIsLeftUntouched) {
  const Bytes stored = Stored(Plain({"700", "5"}));
  SetFile(stored);
  game_.vp.SetReadOnly(path_);

  ASSERT_EQ(ReadBestScores(), 1);
  EXPECT_EQ(Table(), std::vector<int32_t>({700, 5}));

  g_lastScore = 900;
  RecordBestScore();
  EXPECT_EQ(File(), stored);
  ASSERT_EQ(ReadBestScores(), 1);
  EXPECT_EQ(Table(), std::vector<int32_t>({700, 5}));
}

TEST_F(BestScoresTest, MissingFileLeavesAnEmptyTableAndRecordsNothing) {
  std::filesystem::remove(path_);
  g_bestLastIndex = 4;
  EXPECT_EQ(ReadBestScores(), 0);
  EXPECT_EQ(g_bestLastIndex, 4);
  for (int32_t score : g_bestScores) EXPECT_EQ(score, -1);

  g_lastScore = 100;
  RecordBestScore();
  WriteBestScores();
  EXPECT_FALSE(FileExists());  // never created
}

TEST_F(BestScoresTest, MoreThanElevenRecordsFillTheTableAndNoMore) {
  std::vector<std::string> texts;
  for (int i = 0; i < 16; ++i) texts.push_back(std::to_string(1600 - i * 100));
  Bytes bytes = Plain(texts);  // 112 bytes: the last two records lie past the scrambled head
  SetFile(Stored(bytes));
  ASSERT_EQ(ReadBestScores(), 1);
  EXPECT_EQ(g_bestLastIndex, 10);
  EXPECT_EQ(Table(), std::vector<int32_t>({1600, 1500, 1400, 1300, 1200, 1100, 1000, 900, 800,
                                           700, 600}));

  g_lastScore = 650;
  RecordBestScore();
  EXPECT_EQ(g_bestLastIndex, 10);
  EXPECT_EQ(File().size(), 112u);  // never truncated
  ASSERT_EQ(ReadBestScores(), 1);
  EXPECT_EQ(g_bestScores[10], 650);
}

TEST_F(BestScoresTest, RecordsReadTheWayAtoiDoes) {
  struct Case {
    Bytes record;
    int32_t value;
  };
  const Case cases[] = {
      {{'1', '2', '3', 0, 'x', 'y', 'z'}, 123},
      {{' ', '\t', '4', '2', 0, 0, 0}, 42},
      {{'+', '7', 0, 0, 0, 0, 0}, 7},
      {{'-', '9', '9', '9', '9', '9', 0}, -99999},
      {{'1', '2', 'a', '3', 0, 0, 0}, 12},
      {{'a', 'b', 0, 0, 0, 0, 0}, 0},
      {{'-', '+', '5', 0, 0, 0, 0}, 0},
      {{'1', '2', '3', '4', '5', '6', '7'}, 123456},  // the seventh byte never counts
      {{' ', ' ', ' ', ' ', ' ', ' ', '9'}, 0},
  };
  for (const Case& c : cases) {
    SetFile(Stored(c.record));
    ASSERT_EQ(ReadBestScores(), 1);
    EXPECT_EQ(Table(), std::vector<int32_t>({c.value}));
  }
}

TEST_F(BestScoresTest, ScrambleAndUnscrambleWorkOnTheFile) {
  const Bytes plain = Plain({"18000", "-1", "3"}, 0x7F);
  SetFile(plain);
  EXPECT_EQ(ScrambleBestFile(), 1);
  EXPECT_EQ(File(), Stored(plain));
  EXPECT_EQ(UnscrambleBestFile(), 1);
  EXPECT_EQ(File(), plain);

  // Only the first 100 bytes are scrambled.
  Bytes longFile(130, 0x20);
  SetFile(longFile);
  EXPECT_EQ(ScrambleBestFile(), 1);
  EXPECT_EQ(File(), Stored(longFile));
  EXPECT_EQ(File()[100], 0x20);

  SetFile({});
  EXPECT_EQ(ScrambleBestFile(), 1);
  EXPECT_TRUE(File().empty());

  SetFile(plain);
  game_.vp.SetReadOnly(path_);
  EXPECT_EQ(UnscrambleBestFile(), 0);
  EXPECT_EQ(File(), plain);

  std::filesystem::remove(path_);
  EXPECT_EQ(ScrambleBestFile(), 0);
  EXPECT_EQ(UnscrambleBestFile(), 0);
  EXPECT_FALSE(FileExists());
}

TEST_F(BestScoresTest, WriteKeepsEveryRecordToSevenBytes) {
  SetFile({});
  for (int32_t& score : g_bestScores) score = -1;
  g_bestScores[0] = INT32_MIN;  // no score gets here; its text must still fit its record
  g_bestScores[1] = 2147483647;
  WriteBestScores();
  EXPECT_EQ(File().size(), 14u);
}

TEST(SortBestScoresTest, DescendingWithEmptyEntriesLast) {
  const int32_t before[BEST_TABLE_SIZE] = {5, -1, 70, 5, 0, -1, 18000, -1, 3, -1, -1};
  const int32_t after[BEST_TABLE_SIZE] = {18000, 70, 5, 5, 3, 0, -1, -1, -1, -1, -1};
  std::copy(before, before + BEST_TABLE_SIZE, g_bestScores);
  SortBestScores();
  EXPECT_EQ(std::vector<int32_t>(g_bestScores, g_bestScores + BEST_TABLE_SIZE),
            std::vector<int32_t>(after, after + BEST_TABLE_SIZE));
}

}  // namespace
