#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace zizara::core::ui_port {

// The four message-box kinds every failure and question is shown in.
enum class PromptKind { kWarning, kError, kInformation, kConfirmation };

enum class PromptButtons { kOk, kYesNo, kYesNoCancel };

enum class Answer { kOk, kYes, kNo, kCancel };

// How a box looks beyond its kind: the alarm look (yellow background, red text) for
// questions about stopping something that should not be stopped, and a different caption for
// the No button ("Help!").
struct PromptLook {
  bool alarm = false;
  QString no_caption;
  bool no_is_default = false;
};

// How the core reaches a person. The GUI shows message boxes, the CLI writes to the console,
// and tests script the answers.
class Prompts {
 public:
  virtual ~Prompts() = default;
  // "\r" in text is a line break.
  virtual Answer Ask(PromptKind kind, const QString& text, PromptButtons buttons) = 0;
  // The same with a special look; implementations without looks just ask.
  virtual Answer AskWithLook(PromptKind kind, const QString& text, PromptButtons buttons,
                             const PromptLook& /*look*/) {
    return Ask(kind, text, buttons);
  }

  void Error(const QString& text) { Ask(PromptKind::kError, text, PromptButtons::kOk); }
  void Warning(const QString& text) { Ask(PromptKind::kWarning, text, PromptButtons::kOk); }
  void Information(const QString& text) {
    Ask(PromptKind::kInformation, text, PromptButtons::kOk);
  }
  bool Confirm(const QString& text) {
    return Ask(PromptKind::kConfirmation, text, PromptButtons::kYesNo) == Answer::kYes;
  }
  Answer ConfirmOrCancel(const QString& text) {
    return Ask(PromptKind::kConfirmation, text, PromptButtons::kYesNoCancel);
  }
};

// Records every prompt and answers from a queue; with the queue empty it answers the safest
// choice (No, Cancel when offered, OK for plain messages).
class ScriptedPrompts : public Prompts {
 public:
  struct Record {
    PromptKind kind;
    QString text;
    PromptButtons buttons;
    Answer answer;
    PromptLook look;
  };

  void Queue(Answer answer) { answers_.push_back(answer); }
  Answer Ask(PromptKind kind, const QString& text, PromptButtons buttons) override;
  Answer AskWithLook(PromptKind kind, const QString& text, PromptButtons buttons,
                     const PromptLook& look) override {
    const Answer a = Ask(kind, text, buttons);
    records_.back().look = look;
    return a;
  }

  const std::vector<Record>& records() const { return records_; }
  QStringList Texts() const;
  void Clear() { records_.clear(); }

 private:
  std::deque<Answer> answers_;
  std::vector<Record> records_;
};

// Shows nothing and agrees to nothing; for batch work where questions have fixed answers.
class SilentPrompts : public Prompts {
 public:
  explicit SilentPrompts(Answer confirmation_answer = Answer::kNo)
      : confirmation_answer_(confirmation_answer) {}
  Answer Ask(PromptKind kind, const QString& text, PromptButtons buttons) override;

 private:
  Answer confirmation_answer_;
};

// Message text as a console shows it: "\r" becomes a newline.
QString PromptTextForConsole(const QString& text);

}  // namespace zizara::core::ui_port
