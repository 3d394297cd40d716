#include "editor/EditorCommands.h"

#include <cstring>
#include <mutex>
#include <string>

#include "editor/EditorText.h"
#include "engine/ZORQ.h"
#include "gui/IGraphics.h"
#include "shell/UpdateCheck.h"

namespace {

constexpr const char* kCannotLoad = "Cannot load file!";
constexpr const char* kCannotSave = "Cannot save file!";
constexpr const char* kCannotOpenPage = "Cannot open the web page!\n\n";
constexpr const char* kErrorCaption = "Error";
// The save prompt used as a folder chooser: only the folder of the answer counts.
constexpr const char* kIgnoredFileName = "[file name is ignored]";
// Longest suggested program file name and longest formatted message, in bytes.
constexpr size_t kMaxSuggestedName = 63;
constexpr size_t kMaxMessage = 1024;

// The folders the file prompts start in: one pair for the whole process, taken from
// the first instance that runs a command, then changed only by the prompts' answers.
struct RememberedFolders {
  std::mutex mutex;
  bool initialised = false;
  std::string program;
  std::string wav;
};

RememberedFolders& rememberedFolders() {
  static RememberedFolders folders;
  return folders;
}

void initialiseRememberedFolders(const ZORQ& instrument) {
  RememberedFolders& folders = rememberedFolders();
  std::lock_guard<std::mutex> lock(folders.mutex);
  if (folders.initialised) return;
  folders.initialised = true;
  folders.program = instrument.configuration().programPath();
  folders.wav = instrument.configuration().defaultWAVPath();
}

std::string rememberedFolder(std::string RememberedFolders::*which) {
  RememberedFolders& folders = rememberedFolders();
  std::lock_guard<std::mutex> lock(folders.mutex);
  return folders.*which;
}

// The folder of `file` becomes the remembered one; returns it.
std::string rememberFolderOf(std::string RememberedFolders::*which, const std::string& file) {
  RememberedFolders& folders = rememberedFolders();
  std::lock_guard<std::mutex> lock(folders.mutex);
  makeNewFilePath(folders.*which, file);
  return folders.*which;
}

// "<before>path", a blank line and the question, limited to kMaxMessage bytes.
std::string messageWithPath(const char* before, const std::string& path, const char* question) {
  return cutText(before + path + "\n\n" + question, kMaxMessage);
}

// Yes/No question; true when the user did not answer "No". A box that could not be
// shown (answer 0) counts as "No": nothing is overwritten without the question.
bool confirmedUnlessNo(IGraphics* graphics, const std::string& text, const char* caption) {
  const int answer = graphics->ShowMessageBox(text.c_str(), caption, IMessageBox::kYesNo);
  return answer != IMessageBox::kAnswerNo && answer != 0;
}

bool confirmedYes(IGraphics* graphics, const std::string& text, const char* caption) {
  return graphics->ShowMessageBox(text.c_str(), caption, IMessageBox::kYesNo) ==
         IMessageBox::kAnswerYes;
}

void showError(IGraphics* graphics, const char* text) {
  graphics->ShowMessageBox(text, kErrorCaption, IMessageBox::kOk);
}

// Opens a page in the browser; a failure is reported with the address, so the user
// can open it by hand.
bool openPage(IGraphics* graphics, const char* url) {
  if (graphics->OpenURL(url)) return true;
  showError(graphics, (std::string(kCannotOpenPage) + url).c_str());
  return false;
}

// The update check's dialogs are the editor's.
class EditorDialogs : public UpdateCheck::Dialogs {
 public:
  explicit EditorDialogs(IGraphics* graphics) : graphics_(graphics) {}
  int ShowMessageBox(const char* text, const char* caption, int type) override {
    return graphics_->ShowMessageBox(text, caption, type);
  }
  bool OpenURL(const char* url) override { return openPage(graphics_, url); }

 private:
  IGraphics* graphics_;
};

// The suggested file name of "Save Program": the program's name with the characters
// file names cannot hold replaced, at most kMaxSuggestedName bytes.
std::string suggestedProgramFileName(const ZORQ& instrument) {
  std::string name =
      cutText(instrument.GetPresetName(instrument.GetCurrentPresetIdx()), kMaxSuggestedName);
  replaceIllegalFileChar(name.data());
  return name;
}

// The program and bank files: the operation, then the remembered program folder
// follows the file whether it succeeded or not, then a failure is reported.
void runFileCommand(ZORQ* instrument, IGraphics* graphics, File::Command command,
                    const std::string& file) {
  bool done = false;
  switch (command) {
    case File::kLoadProgram: done = instrument->LoadProgramFromFXP(file); break;
    case File::kLoadBank: done = instrument->LoadBankFromFXB(file); break;
    case File::kSaveProgram:
      instrument->ModifyCurrentPreset(nullptr);
      done = instrument->SaveProgramAsFXP(file);
      break;
    case File::kSaveBank:
      instrument->ModifyCurrentPreset(nullptr);
      done = instrument->SaveBankAsFXB(file);
      break;
    default: return;
  }
  rememberFolderOf(&RememberedFolders::program, file);
  const bool saving = command == File::kSaveProgram || command == File::kSaveBank;
  if (!done) showError(graphics, saving ? kCannotSave : kCannotLoad);
}

// What a command with a file prompt does with the chosen file (never called for a
// cancelled prompt).
void completeFilePrompt(ZORQ* instrument, IGraphics* graphics, File::Command command,
                        const std::string& file) {
  switch (command) {
    case File::kSelectStartupBank: instrument->setStartupFxb(file.c_str()); break;
    case File::kProgramFilesPath:
      instrument->storeProgramPath(rememberFolderOf(&RememberedFolders::program, file).c_str());
      break;
    case File::kWAVFilesPath:
      instrument->setWAVFolder(rememberFolderOf(&RememberedFolders::wav, file).c_str());
      break;
    default: runFileCommand(instrument, graphics, command, file); break;
  }
  graphics->SetAllControlsDirty();  // the answer may come after the menu has redrawn
}

struct Prompt {
  const char* extension;
  EFileAction action;
};

// The file prompt of a command, or null for the commands without one.
const Prompt* promptOf(File::Command command) {
  static const Prompt kOpenProgram{"fxp", kFileOpen}, kSaveProgram{"fxp", kFileSave},
      kOpenBank{"fxb", kFileOpen}, kSaveBank{"fxb", kFileSave}, kFolder{" ", kFileSave};
  switch (command) {
    case File::kLoadProgram: return &kOpenProgram;
    case File::kSaveProgram: return &kSaveProgram;
    case File::kLoadBank:
    case File::kSelectStartupBank: return &kOpenBank;
    case File::kSaveBank: return &kSaveBank;
    case File::kProgramFilesPath:
    case File::kWAVFilesPath: return &kFolder;
    default: return nullptr;
  }
}

void promptForFile(ZORQ* instrument, IGraphics* graphics, File::Command command) {
  const Prompt& prompt = *promptOf(command);
  std::string file, folder = rememberedFolder(&RememberedFolders::program);
  if (command == File::kSaveProgram) file = suggestedProgramFileName(*instrument);
  if (command == File::kSaveBank) file = "ZORQ";
  if (command == File::kProgramFilesPath || command == File::kWAVFilesPath) {
    file = kIgnoredFileName;
    if (command == File::kWAVFilesPath) folder = rememberedFolder(&RememberedFolders::wav);
    if (folder.empty()) folder = instrument->configuration().homeFolder();
  }
  graphics->PromptForFile(
      file, prompt.action, folder, prompt.extension,
      [instrument, graphics, command](const std::string& chosen, const std::string&) {
        if (!chosen.empty()) completeFilePrompt(instrument, graphics, command, chosen);
      });
}

}  // namespace

void runCommand(ZORQ* instrument, IGraphics* graphics, IControl*, File::Command command) {
  if (!instrument || !graphics) return;
  initialiseRememberedFolders(*instrument);
  if (promptOf(command)) {
    promptForFile(instrument, graphics, command);
    return;
  }
  Configuration& config = instrument->configuration();
  const auto startupQuestion = [&config](const char* question) {
    return messageWithPath("The Startup Bank is:\n", config.startupFxb(), question);
  };
  const auto iniQuestion = [&config](const char* question) {
    return messageWithPath("The INI configuration file is:\n", config.iniPath(), question);
  };
  switch (command) {
    case File::kCopyProgram: instrument->copyPreset(); break;
    case File::kPasteProgram:
      if (confirmedUnlessNo(graphics, "Do you really want to overwrite the current program?",
                            "Paste Program"))
        instrument->pastePreset();
      break;
    case File::kInitProgram:
      if (confirmedUnlessNo(graphics, "Do you really want to initialize the current program?",
                            "Initialize Program"))
        instrument->initPreset();
      break;
    case File::kLoadStartupBank:
      if (confirmedUnlessNo(graphics, startupQuestion("Do you really want to reload all programs?"),
                            "Load Startup Bank") &&
          !instrument->LoadBankFromFXB(config.startupFxb()))
        showError(graphics, kCannotLoad);
      break;
    case File::kUnselectStartupBank:
      if (confirmedUnlessNo(graphics, startupQuestion("Do you really want to unselect it?"),
                            "Unselect Startup Bank"))
        instrument->unsetStartupFxb();
      break;
    case File::kReloadConfiguration:
      if (confirmedYes(graphics, iniQuestion("Do you really want to reload it?"),
                       "Reload Configuration"))
        instrument->loadConfig();
      break;
    case File::kSaveConfiguration:
      if (confirmedYes(graphics, iniQuestion("Do you really want to overwrite it?"),
                       "Save Configuration"))
        instrument->saveConfig(Configuration::kSaveEverything);
      break;
    case File::kMidiThru: instrument->toggleMidiThru(); break;
    case File::kIgnoreProgramChange: instrument->toggleIgnoreProgramChange(); break;
    case File::kCheckForUpdate: {
      EditorDialogs dialogs(graphics);
      instrument->checkVersionAgainstWeb(dialogs);
      break;
    }
    default: break;  // separators, submenus, and the web site (the menu opens it)
  }
}

bool openWebSite(IGraphics* graphics) {
  return graphics && openPage(graphics, UpdateSite::kWebSiteUrl);
}

void replaceIllegalFileChar(char* text) {
  if (!text) return;
  for (; *text; ++text)
    if (std::strchr("\"*/:<>?\\|", *text)) *text = '_';
}

void makeNewFilePath(std::string& folder, const std::string& path) {
  const size_t separator = path.size() > 1 ? path.find_last_of("/\\") : std::string::npos;
  folder = separator != std::string::npos && separator >= 1 ? path.substr(0, separator) : "";
}

namespace File {
void forgetRememberedFolders() {
  RememberedFolders& folders = rememberedFolders();
  std::lock_guard<std::mutex> lock(folders.mutex);
  folders.initialised = false;
  folders.program.clear();
  folders.wav.clear();
}
}  // namespace File
