#include "detect/SystemClientDetection.h"

#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"
#include "clients/MailClients.h"

namespace pw {
namespace {

TEST(SystemClientDetection, EachKindAsksForItsOwnRegistration) {
  const struct {
    ClientKind kind;
    const char* key;
  } kRegistrations[] = {
      {ClientKind::kOutlookExpress, "SOFTWARE\\Clients\\Mail\\Outlook Express"},
      {ClientKind::kOutlook, "SOFTWARE\\Clients\\Mail\\Microsoft Outlook"},
      {ClientKind::kWindowsMail, "SOFTWARE\\Clients\\Mail\\Windows Mail"},
      {ClientKind::kEudora, "SOFTWARE\\Clients\\Mail\\Eudora"},
      {ClientKind::kThunderbird, "SOFTWARE\\Clients\\Mail\\Mozilla Thunderbird"},
  };
  for (const auto& registered : kRegistrations) {
    MemoryPlatform machine;
    machine.registry.PutKey(RegRoot::kLocalMachine, registered.key);
    SystemClientDetection detection(machine.registry, MailClientMarks());
    for (ClientKind kind : kClientKinds)
      EXPECT_EQ(kind == registered.kind, detection.IsInstalled(kind))
          << registered.key << ", asked " << ClientNumber(kind);
  }
}

TEST(SystemClientDetection, AnswersFromTheMachinesRegistryAndProcessList) {
  MemoryPlatform machine;
  machine.registry.PutText(RegRoot::kLocalMachine, "SOFTWARE\\Clients\\Mail\\Microsoft Outlook", "MSIApplicationLCID",
                           "Software\\Microsoft\\Office\\12.0\\Outlook");
  machine.registry.PutText(RegRoot::kClassesRoot, "mailto\\shell\\open\\command", "",
                           "\"C:\\Program Files\\Microsoft Office\\Office12\\OUTLOOK.EXE\" -c IPM.Note /m \"%1\"");
  SystemClientDetection detection(machine.registry, MailClientMarks());
  EXPECT_EQ(12, detection.OutlookVersion());
  EXPECT_EQ(2, detection.DefaultClient());

  RunLog log;
  ASSERT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, "C:\\Postwright.log"));
  const uint32_t outlook = machine.processes.Add("OUTLOOK.EXE");
  EXPECT_EQ(RunningClients::kStop, detection.CheckRunning(machine.processes, false, log));
  EXPECT_TRUE(machine.processes.Running(outlook));
  EXPECT_EQ(RunningClients::kContinue, detection.CheckRunning(machine.processes, true, log));
  EXPECT_FALSE(machine.processes.Running(outlook));
  EXPECT_EQ("Running Email Client Detected: OUTLOOK.EXE. Closed.\r\n", machine.files.FileBytes("C:\\Postwright.log"));

  // Without marks for Outlook nothing is asked of its registration.
  SystemClientDetection without_outlook(machine.registry, {MailClientOf(ClientKind::kEudora).marks});
  EXPECT_FALSE(without_outlook.IsInstalled(ClientKind::kOutlook));
  EXPECT_EQ(-1, without_outlook.OutlookVersion());
}

}  // namespace
}  // namespace pw
