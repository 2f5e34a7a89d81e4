// File names of auto-recorded captures.
#include "capture/autorec_name.h"

#include <gtest/gtest.h>

#include <deque>

namespace vistrel {
namespace {

ClockReading At(int year, int month, int day, int hour, int minute, int second, int ms) {
  return ClockReading{year, month, day, hour, minute, second, ms};
}

std::string Name(const ClockReading& both) { return AutoRecName(both, both); }

TEST(AutoRecName, WorkedExamplesGiveTheFullFileNames) {
  EXPECT_EQ(AutoRecPath("D:\\Captures", Name(At(2026, 3, 7, 9, 5, 4, 7)), "bmp"),
            "D:\\Captures\\07.03.2026 à 09h 05m 04s 007'.bmp");
  EXPECT_EQ(AutoRecPath("D:\\Captures", Name(At(2026, 12, 25, 23, 59, 59, 999)), "jpg"),
            "D:\\Captures\\25.12.2026 à 23h 59m 59s 999'.jpg");
  EXPECT_EQ(AutoRecPath("D:\\Captures", Name(At(2027, 1, 1, 0, 0, 0, 50)), "bmp"),
            "D:\\Captures\\01.01.2027 à 00h 00m 00s 050'.bmp");
  EXPECT_EQ(AutoRecPath("D:\\Captures", Name(At(2026, 11, 10, 14, 30, 0, 120)), "jpg"),
            "D:\\Captures\\10.11.2026 à 14h 30m 00s 120'.jpg");
}

TEST(AutoRecName, TheSeparatorIsAGraveInUtf8) {
  const std::string name = Name(At(2026, 3, 7, 9, 5, 4, 7));
  ASSERT_EQ(name.size(), 30u);
  // U+00E0, whatever code page the system runs.
  EXPECT_EQ(name.substr(10, 4), " \xC3\xA0 ");
  EXPECT_EQ(name.back(), '\'');
}

TEST(AutoRecName, TwoDigitFieldsGetALeadingZeroUpToNine) {
  // day, month, hour, minute, second on either side of the boundary
  EXPECT_EQ(Name(At(2026, 9, 9, 9, 9, 9, 100)), "09.09.2026 à 09h 09m 09s 100'");
  EXPECT_EQ(Name(At(2026, 10, 10, 10, 10, 10, 100)), "10.10.2026 à 10h 10m 10s 100'");
  EXPECT_EQ(Name(At(2026, 1, 1, 0, 0, 0, 100)), "01.01.2026 à 00h 00m 00s 100'");
  EXPECT_EQ(Name(At(2026, 12, 31, 23, 59, 59, 100)), "31.12.2026 à 23h 59m 59s 100'");
}

TEST(AutoRecName, MillisecondsAlwaysTakeThreeDigits) {
  auto ms = [](int value) {
    const std::string name = Name(At(2026, 3, 7, 9, 5, 4, value));
    return name.substr(name.size() - 4, 3);
  };
  EXPECT_EQ(ms(0), "000");
  EXPECT_EQ(ms(9), "009");
  EXPECT_EQ(ms(10), "010");
  EXPECT_EQ(ms(99), "099");
  EXPECT_EQ(ms(100), "100");
  EXPECT_EQ(ms(999), "999");
}

TEST(AutoRecName, YearKeepsItsOwnDigits) {
  EXPECT_EQ(Name(At(9, 3, 7, 9, 5, 4, 7)).substr(0, 8), "07.03.09");
  EXPECT_EQ(Name(At(99, 3, 7, 9, 5, 4, 7)).substr(0, 8), "07.03.99");
  EXPECT_EQ(Name(At(999, 3, 7, 9, 5, 4, 7)).substr(0, 9), "07.03.999");
  EXPECT_EQ(Name(At(30827, 3, 7, 9, 5, 4, 7)).substr(0, 11), "07.03.30827");
}

TEST(AutoRecName, DateFromTheFirstReadingTimeFromTheSecond) {
  // A capture across midnight: the earlier day with the later time.
  EXPECT_EQ(AutoRecName(At(2026, 12, 31, 23, 59, 59, 999), At(2027, 1, 1, 0, 0, 0, 0)),
            "31.12.2026 à 00h 00m 00s 000'");
}

TEST(AutoRecPath, FolderIsUsedAsGiven) {
  EXPECT_EQ(AutoRecPath("D:\\Captures\\", "s", "bmp"), "D:\\Captures\\\\s.bmp");
  EXPECT_EQ(AutoRecPath("", "s", "jpg"), "\\s.jpg");
}

// A clock that hands out prepared readings, then repeats the last one.
struct FakeClock {
  std::deque<ClockReading> readings;
  int reads = 0;
  ClockReading operator()() {
    ++reads;
    ClockReading r = readings.front();
    if (readings.size() > 1) readings.pop_front();
    return r;
  }
};

TEST(NextAutoRecName, ANewMillisecondKeepsTheFirstReadings) {
  FakeClock clock;
  clock.readings = {At(2026, 3, 7, 9, 5, 4, 9)};
  int pauses = 0;
  const std::string stem = NextAutoRecName(
      At(2026, 3, 7, 9, 5, 4, 8), At(2026, 3, 7, 9, 5, 4, 8), "07.03.2026 à 09h 05m 04s 007'",
      std::ref(clock), [&] { ++pauses; }, 1000);
  EXPECT_EQ(stem, "07.03.2026 à 09h 05m 04s 008'");
  EXPECT_EQ(clock.reads, 0);
  EXPECT_EQ(pauses, 0);
}

TEST(NextAutoRecName, TheSameMillisecondWaitsForTheClockToMoveOn) {
  const ClockReading same = At(2026, 3, 7, 9, 5, 4, 7);
  FakeClock clock;
  // Two more readings in the same millisecond, then the next one.
  clock.readings = {same, same, same, same, At(2026, 3, 7, 9, 5, 4, 8)};
  int pauses = 0;
  const std::string stem = NextAutoRecName(
      same, same, Name(same), std::ref(clock), [&] { ++pauses; }, 1000);
  EXPECT_EQ(stem, "07.03.2026 à 09h 05m 04s 008'");
  EXPECT_EQ(pauses, 3);
  EXPECT_EQ(clock.reads, 6);
}

TEST(NextAutoRecName, TheRetakenNameStillTakesItsDateFromTheFirstOfTwoReadings) {
  // The retry crosses midnight between its two readings.
  const ClockReading same = At(2026, 12, 31, 23, 59, 59, 999);
  FakeClock clock;
  clock.readings = {same, At(2027, 1, 1, 0, 0, 0, 0)};
  EXPECT_EQ(NextAutoRecName(
                same, same, Name(same), std::ref(clock), [] {}, 1000),
            "31.12.2026 à 00h 00m 00s 000'");
}

TEST(NextAutoRecName, AStuckClockEndsTheWaitWithTheSameName) {
  const ClockReading same = At(2026, 3, 7, 9, 5, 4, 7);
  FakeClock clock;
  clock.readings = {same};
  int pauses = 0;
  EXPECT_EQ(NextAutoRecName(
                same, same, Name(same), std::ref(clock), [&] { ++pauses; }, 5),
            Name(same));
  EXPECT_EQ(pauses, 5);
}

}  // namespace
}  // namespace vistrel
