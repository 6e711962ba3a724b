#include "detect/SystemClientDetection.h"

#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"

namespace pw {
namespace {

TEST(SystemClientDetection, EachKindAsksForItsOwnRegistration) {
  const struct {
    ClientKind kind;
    const char* key;
  } kRegistrations[] = {
      {client::kOutlookExpress, "SOFTWARE\\Clients\\Mail\\Outlook Express"},
      {client::kOutlook, "SOFTWARE\\Clients\\Mail\\Microsoft Outlook"},
      {client::kWindowsMail, "SOFTWARE\\Clients\\Mail\\Windows Mail"},
      {client::kEudora, "SOFTWARE\\Clients\\Mail\\Eudora"},
      {client::kThunderbird, "SOFTWARE\\Clients\\Mail\\Mozilla Thunderbird"},
  };
  for (const auto& registered : kRegistrations) {
    MemoryPlatform machine;
    machine.registry.PutKey(RegRoot::kLocalMachine, registered.key);
    SystemClientDetection detection(machine.registry, machine.processes);
    for (ClientKind kind = -1; kind <= 5; ++kind)
      EXPECT_EQ(kind == registered.kind, detection.IsInstalled(kind)) << registered.key << ", asked " << kind;
  }
}

TEST(SystemClientDetection, AnswersFromTheMachinesRegistryAndProcessList) {
  MemoryPlatform machine;
  machine.registry.PutText(RegRoot::kLocalMachine, "SOFTWARE\\Clients\\Mail\\Microsoft Outlook", "MSIApplicationLCID",
                           "Software\\Microsoft\\Office\\12.0\\Outlook");
  machine.registry.PutText(RegRoot::kClassesRoot, "mailto\\shell\\open\\command", "",
                           "\"C:\\Program Files\\Microsoft Office\\Office12\\OUTLOOK.EXE\" -c IPM.Note /m \"%1\"");
  const Platform platform = machine.View();
  SystemClientDetection detection(platform);
  EXPECT_EQ(12, detection.OutlookVersion());
  EXPECT_EQ(2, detection.DefaultClient());

  RunLog log;
  ASSERT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, "C:\\Postwright.log"));
  const uint32_t outlook = machine.processes.Add("OUTLOOK.EXE");
  EXPECT_EQ(RunningClients::kStop, detection.CheckRunning(false, log));
  EXPECT_TRUE(machine.processes.Running(outlook));
  EXPECT_EQ(RunningClients::kContinue, detection.CheckRunning(true, log));
  EXPECT_FALSE(machine.processes.Running(outlook));
  EXPECT_EQ("Running Email Client Detected: OUTLOOK.EXE. Closed.\r\n", machine.files.FileBytes("C:\\Postwright.log"));
}

}  // namespace
}  // namespace pw
