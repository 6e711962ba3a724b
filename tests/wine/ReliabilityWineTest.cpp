// Runs that must not lose the user's data: two runs started together, and a
// mail client closed by "-x" while it may still be saving.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "DummyProgram.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using ReliabilityWineTest = WineTest;

std::string Thunderbird() { return bed::AppDataFolder() + "\\Thunderbird"; }
std::string Prefs() { return Thunderbird() + "\\Profiles\\ab12cd34.default\\prefs.js"; }

// A default profile whose prefs.js holds `accounts` accounts of other users.
std::string SeedManyAccounts(int accounts) {
  bed::SeedFile(Thunderbird() + "\\profiles.ini",
                "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                "Path=Profiles/ab12cd34.default\r\n");
  std::string prefs = "# Mozilla User Preferences\r\n\r\n";
  std::string list;
  for (int i = 1; i <= accounts; ++i) {
    const std::string n = std::to_string(i);
    list += (i > 1 ? "," : "") + ("account" + n);
    prefs += "user_pref(\"mail.account.account" + n + ".identities\", \"id" + n + "\");\r\n";
    prefs += "user_pref(\"mail.account.account" + n + ".server\", \"server" + n + "\");\r\n";
    prefs += "user_pref(\"mail.identity.id" + n + ".useremail\", \"user" + n + "@example.org\");\r\n";
    prefs += "user_pref(\"mail.server.server" + n + ".hostname\", \"pop.example.org\");\r\n";
    prefs += "user_pref(\"mail.server.server" + n + ".type\", \"pop3\");\r\n";
    prefs += "user_pref(\"mail.server.server" + n + ".userName\", \"user" + n + "\");\r\n";
  }
  prefs += "user_pref(\"mail.accountmanager.accounts\", \"" + list + "\");\r\n";
  bed::SeedFile(Prefs(), prefs);
  return prefs;
}

struct ConcurrentRun {
  std::string arguments;
  bed::RunResult result;
};

DWORD WINAPI RunInThread(LPVOID run) {
  ConcurrentRun* concurrent = static_cast<ConcurrentRun*>(run);
  concurrent->result = bed::RunPostwright(concurrent->arguments, 120000);
  return 0;
}

// A logon script and a deployment tool start Postwright together, each adding
// an account to the same prefs.js: both accounts must be there afterwards.
TEST_F(ReliabilityWineTest, TwoRunsStartedTogetherBothKeepTheirAccount) {
  for (int round = 1; round <= 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string seeded = SeedManyAccounts(1500);
    ConcurrentRun runs[2] = {{"-n \"First\" -c 4 -a first" + std::to_string(round), {}},
                             {"-n \"Second\" -c 4 -a second" + std::to_string(round), {}}};
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) threads[i] = CreateThread(nullptr, 0, RunInThread, &runs[i], 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, threads, TRUE, 300000));
    for (HANDLE thread : threads) CloseHandle(thread);

    for (const ConcurrentRun& run : runs) {
      EXPECT_TRUE(run.result.started);
      EXPECT_FALSE(run.result.timed_out);
      EXPECT_EQ(0u, run.result.exit_code) << run.arguments << ": " << run.result.err;
    }
    const std::string prefs = bed::ReadBytes(Prefs()).value_or("");
    EXPECT_NE(std::string::npos, prefs.find("\"first" + std::to_string(round) + "@quillset.example\""));
    EXPECT_NE(std::string::npos, prefs.find("\"second" + std::to_string(round) + "@quillset.example\""));
    // Every other user's line survives, in its order.
    size_t at = 0;
    for (const std::string& line : bed::SplitLines(seeded)) {
      if (line.rfind("user_pref(\"mail.accountmanager.accounts\"", 0) == 0) continue;  // ours are added to it
      at = prefs.find(line, at);
      ASSERT_NE(std::string::npos, at) << line;
    }
    bed::RemovePath(bed::LogPath());
  }
}

// A run that finds another holding the stores' mutex waits for it.
TEST_F(ReliabilityWineTest, RunWaitsWhileAnotherHoldsTheStores) {
  SeedManyAccounts(2);
  HANDLE other_run = CreateMutexW(nullptr, TRUE, L"Local\\Postwright.MailClientStores");
  ASSERT_NE(nullptr, other_run);
  ConcurrentRun run{"-n \"Jo\" -c 4 -a jdoe", {}};
  HANDLE runner = CreateThread(nullptr, 0, RunInThread, &run, 0, nullptr);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(runner, 3000)) << "the run did not wait";
  ReleaseMutex(other_run);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(runner, 120000));
  CloseHandle(runner);
  CloseHandle(other_run);
  EXPECT_EQ(0u, run.result.exit_code) << run.result.err;
  EXPECT_NE(std::string::npos, bed::ReadBytes(Prefs()).value_or("").find("\"jdoe@quillset.example\""));
}

// A sample of the hostile inputs of tests/corpus, through the real program.
std::string CorpusFile(const std::string& store, const std::string& name) {
  // The build trees are build/<preset> in the source tree.
  return bed::ProgramFolder() + "\\..\\..\\tests\\corpus\\" + store + "\\" + name;
}

// Lines as the clients read them: ended by CR LF, LF or a lone CR.
std::vector<std::string> ClientLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

bool Survives(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  size_t at = 0;
  for (const std::string& line : part) {
    while (at < whole.size() && whole[at] != line) ++at;
    if (at++ == whole.size()) return false;
  }
  return true;
}

TEST_F(ReliabilityWineTest, HostileSettingsFilesAreTakenWholeOrLeftAlone) {
  const struct {
    const char* store;
    const char* name;
    int client;
  } kSample[] = {
      {"prefs-js", "utf16-instead-of-utf8.js", 4}, {"prefs-js", "binary-garbage.js", 4},
      {"prefs-js", "one-megabyte-line.js", 4},     {"prefs-js", "lone-cr.js", 4},
      {"prefs-js", "bom-utf8.js", 4},              {"prefs-js", "nul-bytes.js", 4},
      {"eudora-ini", "utf16.ini", 3},              {"eudora-ini", "duplicated-sections.ini", 3},
      {"eudora-ini", "nul-bytes.ini", 3},          {"eudora-ini", "latin1.ini", 3},
  };
  for (const auto& c : kSample) {
    SCOPED_TRACE(std::string(c.store) + "/" + c.name);
    bed::Reset();
    const std::optional<std::string> input = bed::ReadBytes(CorpusFile(c.store, c.name));
    ASSERT_TRUE(input.has_value()) << CorpusFile(c.store, c.name);
    const std::string path =
        c.client == 4 ? (SeedManyAccounts(1), Prefs()) : bed::AppDataFolder() + "\\Qualcomm\\Eudora\\Eudora.ini";
    bed::SeedFile(path, *input);
    const bed::RunResult run = bed::RunPostwright("-n \"Jo Doe\" -c " + std::to_string(c.client) + " -a jdoe");
    EXPECT_FALSE(run.timed_out);
    const std::string output = bed::ReadBytes(path).value_or("(gone)");
    if (run.exit_code != 0) {
      EXPECT_EQ(*input, output) << "a run that failed changed the file";
    } else {
      // Lines that are no account's survive, in their order.
      std::vector<std::string> kept;
      for (const std::string& line : ClientLines(*input))
        if (line.find("\"mail.") == std::string::npos && line.find("[Settings]") == std::string::npos &&
            line.find('=') == std::string::npos)
          kept.push_back(line);
      EXPECT_TRUE(Survives(kept, ClientLines(output)));
    }
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    for (const char* temp : {"\\prefs.tmp", "\\Eudora.tmp"}) EXPECT_FALSE(bed::PathExists(folder + temp));
  }
}

bool WaitForRecord(const std::string& path, const std::string& bytes) {
  for (int i = 0; i < 200; ++i) {
    if (bed::ReadBytes(path).value_or("") == bytes) return true;
    Sleep(100);
  }
  return false;
}

// "-x" asks a client's windows to close and gives it time to save; only a
// client that does not end then is terminated.
TEST_F(ReliabilityWineTest, CloseFlagAsksTheClientToCloseBeforeTerminatingIt) {
  const std::string listening_record = bed::ScratchFolder() + "\\listening.txt";
  const std::string ignoring_record = bed::ScratchFolder() + "\\ignoring.txt";
  bed::SeedFolder(bed::ScratchFolder());
  bed::DummyProgram listening("thunderbird.exe", "wine_windowed_client.exe", "\"" + listening_record + "\" listens");
  bed::DummyProgram ignoring("OUTLOOK.EXE", "wine_windowed_client.exe", "\"" + ignoring_record + "\" ignores");
  ASSERT_TRUE(listening.started());
  ASSERT_TRUE(ignoring.started());
  ASSERT_TRUE(WaitForRecord(listening_record, "READY\r\n")) << "the stand-in client has no window";
  ASSERT_TRUE(WaitForRecord(ignoring_record, "READY\r\n")) << "the stand-in client has no window";

  const ULONGLONG start = GetTickCount64();
  const bed::RunResult run = bed::RunPostwright("-auto -p \"QS \" -x", 120000);
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_FALSE(run.timed_out);

  const std::vector<std::string> log = bed::LogLines();
  for (const char* line : {"Running Email Client Detected: thunderbird.exe. Closed.",
                           "Running Email Client Detected: OUTLOOK.EXE. Closed."}) {
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), line)) << line;
  }
  // The listening client ended by itself, the other was asked, waited for
  // and then terminated (exit code 0).
  EXPECT_TRUE(listening.WaitForEnd(0));
  EXPECT_EQ(5u, listening.ExitCode());
  EXPECT_EQ("READY\r\nWM_CLOSE\r\n", bed::ReadBytes(listening_record).value_or(""));
  EXPECT_TRUE(ignoring.WaitForEnd(0));
  EXPECT_EQ(0u, ignoring.ExitCode());
  EXPECT_EQ("READY\r\nWM_CLOSE\r\n", bed::ReadBytes(ignoring_record).value_or(""));
  EXPECT_GE(took, 30000u) << "the client that did not close was not given its time";
}

}  // namespace
}  // namespace pw
