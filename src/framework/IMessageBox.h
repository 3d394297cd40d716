#pragma once

// A modal message box shown to the user: the editor implements it, tests observe it.
class IMessageBox {
 public:
  static constexpr int kOk = 0;
  static constexpr int kYesNo = 4;
  static constexpr int kAnswerYes = 6;
  static constexpr int kAnswerNo = 7;

  virtual ~IMessageBox() = default;
  // User-interface thread, plug-in mutex not held. Returns the answer.
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
};
