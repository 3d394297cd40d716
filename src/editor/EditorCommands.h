#pragma once

// The commands of the editor's options menu: program and bank files, the startup
// bank, the default folders, the configuration file, the two MIDI switches and the
// update check. Confirmations and failures go through the graphics context's message
// boxes; files and folders are asked for with its file prompt, whose answer arrives
// later (the steps after a prompt run in its completion, in the same order).
#include <string>

class IControl;
class IGraphics;
class ZORQ;

namespace File {
// The options menu's command codes: the item's position, plus 20 in the
// "Global MIDI Settings..." submenu and plus 22 in the "Go Online..." submenu. The
// codes of separators and submenus (3, 8, 12, 15, 18, 19) and codes above 22 do
// nothing in runCommand; kWebSite is handled by the menu itself.
enum Command {
  kCopyProgram = 0,
  kPasteProgram = 1,
  kInitProgram = 2,
  kLoadProgram = 4,
  kSaveProgram = 5,
  kLoadBank = 6,
  kSaveBank = 7,
  kSelectStartupBank = 9,
  kLoadStartupBank = 10,
  kUnselectStartupBank = 11,
  kProgramFilesPath = 13,
  kWAVFilesPath = 14,
  kReloadConfiguration = 16,
  kSaveConfiguration = 17,
  kMidiThru = 20,
  kIgnoreProgramChange = 21,
  kCheckForUpdate = 22,
  kWebSite = 23
};

// The prompts' remembered folders are taken afresh from the next instance that runs a
// command, as at the start of the process (for tests).
void forgetRememberedFolders();
}  // namespace File

// Runs one options-menu command. Editor thread; the program, bank and configuration
// operations it calls take the plug-in mutex themselves. The caller is not used. The
// file prompts start in folders remembered for the whole process (the first
// instance's folders for program files and WAV files, then the folders of the
// answers); a failed load or save is reported in a message box.
void runCommand(ZORQ* instrument, IGraphics* graphics, IControl* caller, File::Command command);

// Opens the maker's web site in the browser (the "Go Online..." submenu's second
// entry); false when no browser could be started. Editor thread.
bool openWebSite(IGraphics* graphics);

// Replaces every character that is not allowed in a file name on common file
// systems (" * / : < > ? \ |) with '_', in place.
void replaceIllegalFileChar(char* text);

// folder = path cut just before its last '/' or '\'; positions from 1 on are
// searched, so a path without a separator after its first character gives "".
void makeNewFilePath(std::string& folder, const std::string& path);
