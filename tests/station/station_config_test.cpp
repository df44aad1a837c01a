// A station's config file: the options, the alarm sections and the lines it refuses.
#include "station/station_config.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace slm {
namespace {

TEST(ParseStationConfig, TakesTheOptionsInOrderAndOneRulePerSection) {
  const StationConfig config = ParseStationConfig(
      "\xEF\xBB\xBF# The yard\r\n"
      "port = /dev/ttyUSB0\r\n"
      "dir=/var/lib/slm # where the days go\n"
      "\n"
      "[alarm night-leq]\n"
      "limit = 65\n"
      "between = 23:00 - 7:00\n"
      "command = /usr/bin/notify --tag=#1   # a \"#\" in a word stays\n"
      "command-interval = 600\n"
      "[ alarm  lost_1 ]\n"
      "kind = meter-lost\n"
      "window = 300\n",
      "/etc/slmtool/yard.conf");
  EXPECT_EQ(config.options, (std::vector<std::pair<std::string, std::string>>{
                                {"port", "/dev/ttyUSB0"}, {"dir", "/var/lib/slm"}}));
  ASSERT_EQ(config.alarms.size(), 2u);
  const AlarmRule& leq = config.alarms[0];
  EXPECT_EQ(leq.name, "night-leq");
  EXPECT_EQ(leq.kind, AlarmKind::kLeq);
  EXPECT_EQ(leq.limit, 65);
  EXPECT_EQ(leq.window, 900);
  EXPECT_EQ(leq.between, std::pair(23 * 60, 7 * 60));
  EXPECT_EQ(leq.command, "/usr/bin/notify --tag=#1");
  EXPECT_EQ(leq.command_interval, 600);
  const AlarmRule& lost = config.alarms[1];
  EXPECT_EQ(lost.name, "lost_1");
  EXPECT_EQ(lost.kind, AlarmKind::kMeterLost);
  EXPECT_EQ(lost.window, 300);
  EXPECT_FALSE(lost.between);
}

TEST(ParseStationConfig, RefusesABadLineNamingTheFileAndTheLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"colour = red", "line 1: unknown option \"colour\""},
      {"limit = 65", "line 1: unknown option \"limit\": an alarm's keys go under its [alarm NAME]"},
      {"port = a\nport = b", "line 2: port is given twice, first on line 1"},
      {"port =", "line 1: port has no value"},
      {"just words", "line 1: \"just words\" is no \"key = value\" line"},
      {"[station]", "line 1: \"[station]\" is no section this file knows: write [alarm NAME]"},
      {"[alarm a b]",
       "line 1: the alarm name \"a b\" may hold only letters, digits, \"-\" and \"_\""},
      {"[alarm a]\nlimit = 65\n[alarm a]\nlimit = 60",
       "line 3: there is another alarm a on line 1"},
      {"[alarm a]\nkind = level\n\n[alarm b]", "line 1: alarm a has no limit"},
      {"[alarm a]\nlimit = 65\nport = x",
       "line 3: unknown key \"port\" in [alarm a]: the station's options go before the first "
       "[alarm NAME]"},
      {"[alarm a]\nlimit = 65 dB",
       "line 2: limit \"65 dB\" is no level: write the dB as a number, such as 65"},
      {"[alarm a]\nkind = meter-lost\nlimit = 65",
       "line 3: limit does not apply to a meter-lost alarm"},
      {"[alarm a]\nlimit = 65\nbetween = 23-07",
       "line 3: between \"23-07\" is no span of hours: write HH:MM-HH:MM, such as 23:00-07:00"},
      {"[alarm a]\nlimit = 65\nbetween = 07:00-24:30", "line 3: between \"07:00-24:30\" is no"},
      {"[alarm a]\nlimit = 65\nbetween = 7:00-07:00",
       "line 3: between \"7:00-07:00\" ends where it starts"},
      {"[alarm a]\nlimit = 65\nwindow = 0",
       "line 3: window \"0\" is no whole number of seconds above 0"},
  };
  for (const auto& [text, message] : cases) {
    try {
      ParseStationConfig(text, "/etc/slmtool/yard.conf");
      ADD_FAILURE() << text << " was taken";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind("/etc/slmtool/yard.conf " + message, 0), 0u)
          << e.what();
    }
  }
}

}  // namespace
}  // namespace slm
