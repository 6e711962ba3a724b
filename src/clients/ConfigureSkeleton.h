// The configure skeleton every account writer fills: open the client's store,
// search it for the account, rewrite the account found or add one, save, and
// report what was written. The lines every writer's log shares (the search
// line and its outcome, the report's heading) and the results come from here;
// how each client's log words them is the writer's WriterWording.
#pragma once

#include <string>
#include <vector>

#include "app/RunLog.h"
#include "clients/AccountRequest.h"
#include "clients/AccountWriter.h"
#include "clients/ConfigureResult.h"

namespace pw {

// The clients' logs have always worded the shared lines a little differently,
// and people who read them compare them by eye: each writer keeps its own.
struct WriterWording {
  const char* search;         // "Searching for existant " or "Searching for existing "
  bool search_ends_line;      // the search line stands alone, or its outcome completes it
  const char* found_lead;     // what comes before "found. ...": "..." or " "
  const char* new_lead;       // what comes before "not found. ...": "..." or nothing
  const char* resetting;      // "Resetting" or "Reseting"
  bool blank_after_outcome;
  const char* heading;        // "The following settings were written/overwritten in the system registry:"
  bool report_before_save;    // the report lists what is about to be written, or what was
  bool blank_before_report;
  bool blank_after_report;
};

class ConfigureSkeleton : public AccountWriter {
 public:
  // 0 written; 5 the account exists and overwrite is off (6 in automatic
  // mode, where the account is the one named prefix + address); otherwise
  // the result of the step that failed, after the lines it gave are logged.
  ConfigureResult Configure() final;

 protected:
  ConfigureSkeleton(const AccountRequest& request, const AutomaticPrefix& automatic_prefix, RunLog& log,
                const WriterWording& wording)
      : request_(request), automatic_prefix_(automatic_prefix), log_(log), wording_(wording) {}

  // Before the search: the writer's start lines; its store found and read.
  virtual StepResult Open() = 0;
  // Whether the account is there. A search that fails ends the search line.
  virtual StepResult Find(bool* found) = 0;
  // Prepares the change: the account found rewritten, or a new one.
  virtual StepResult Rewrite() = 0;
  virtual StepResult Add() = 0;
  // Puts the change into the store: all of it, or nothing.
  virtual StepResult Save() = 0;
  // What the report lists, one line each.
  virtual std::vector<std::string> Report() = 0;
  // After a run that did not configure: removes what the writer made on its
  // way (a profile folder, say). Nothing by default.
  virtual void TakeBack() {}

  bool automatic() const { return automatic_prefix_.has_value(); }
  // The account's name: the address, after the prefix in automatic mode.
  std::string AccountName() const { return automatic_prefix_.value_or("") + request_.address; }

  AccountRequest request_;
  const AutomaticPrefix automatic_prefix_;
  RunLog& log_;

 private:
  ConfigureResult Steps();
  ConfigureResult Stop(const Failure& failure);
  void LogReport();

  const WriterWording& wording_;
};

}  // namespace pw
