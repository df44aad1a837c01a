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
  }
  FileChoice SaveFile(const std::string& filter) override {
    filters.push_back(filter);
    return Next();
  }
  FileChoice OpenFile(const std::string& filter) override {
    filters.push_back(filter);
    return Next();
  }
  std::string Input(const std::string& prompt, const std::string&, const std::string&) override {
    prompts.push_back(prompt);
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
  // Runs as each message is shown, for a test that looks at the screen then.
  std::function<void()> on_message;
  std::deque<FileChoice> files;
  std::vector<std::string> filters;
  std::vector<std::string> prompts;
  std::deque<std::string> answers;
};

}  // namespace slm::test
