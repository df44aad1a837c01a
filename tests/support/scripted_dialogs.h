#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace slm::test {

// Dialogs answered from a script; every message shown is kept for the test.
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    std::string text;
    MessageIcon icon;
  };
  void Message(const std::string& text, MessageIcon icon, const std::string&) override {
    messages.push_back({text, icon});
    if (on_message) on_message();
    StayOpen();
  }
  // Kept apart from `messages`: a notice does not wait for the user.
  void Notice(const std::string& text, MessageIcon icon, const std::string&) override {
    notices.push_back({text, icon});
  }
  // Answered from `yes_no`; no when it runs out.
  bool Ask(const std::string& text, const std::string&) override {
    questions.push_back(text);
    StayOpen();
    if (yes_no.empty()) return false;
    const bool answer = yes_no.front();
    yes_no.pop_front();
    return answer;
  }
  FileChoice SaveFile(const std::string& filter) override { return OpenFile(filter); }
  FileChoice OpenFile(const std::string& filter) override {
    filters.push_back(filter);
    StayOpen();
    return Next();
  }
  std::string Input(const std::string& prompt, const std::string&, const std::string&) override {
    prompts.push_back(prompt);
    StayOpen();
    if (answers.empty()) return {};
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }

  // The next file the user picks; an empty path cancels.
  FileChoice Next() {
    if (files.empty()) return {};
    FileChoice choice = files.front();
    files.pop_front();
    return choice;
  }

  std::vector<Shown> messages;
  std::vector<Shown> notices;
  std::vector<std::string> questions;
  std::deque<bool> yes_no;
  // Runs as each message is shown, for a test that looks at the screen then.
  std::function<void()> on_message;
  std::deque<FileChoice> files;
  std::vector<std::string> filters;
  std::vector<std::string> prompts;
  std::deque<std::string> answers;
  // The program's event loop while a modal dialog is open (the user takes
  // some time to answer); nothing by default.
  std::function<void()> while_open;

 private:
  void StayOpen() {
    if (while_open) while_open();
  }
};

}  // namespace slm::test
