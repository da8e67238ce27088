#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kanvel::app {

// What the command line asks for. A run with a window takes the folder,
// the log, the scope and the options deployment tools add to every line;
// the other options belong to the run without a window (/SILENT).
struct CommandLineOptions {
    bool silent = false;
    bool acceptLicence = false;
    bool uninstall = false;
    // The edition's installation mended where it lies: the program fetched
    // again, every missing file fetched, the shortcuts and the entry written
    // again, the working tables left as the users left them.
    bool repair = false;
    bool showUsage = false;
    // Shortcuts and the "Apps & features" entry for every user of the machine.
    bool allUsers = false;
    // Every listed working table replaced by its pristine copy, as the window does.
    bool resetDatabase = false;
    // Programs that hold files the run replaces are asked to close (never
    // forced) instead of ending the run.
    bool closeApplications = false;
    // An installer older than the installed release may replace it.
    bool allowDowngrade = false;
    // Which of the choices the command line named: a run that names no
    // location, scope, components or shortcuts takes them from the
    // edition's entry in "Apps & features".
    bool scopeGiven = false;
    bool componentsGiven = false;
    bool shortcutsGiven = false;
    // /OWNER: the account (its security identifier) whose installation a
    // removal or repair from a per-user entry is meant for; written into
    // that entry's command lines by the install.
    std::optional<std::wstring> owner;
    // Set by the installer itself for the run of its temporary copy (the
    // second phase): the token that reaches the run that started it.
    std::optional<std::wstring> secondPhase;
    // Item index of the edition choice.
    std::optional<int> edition;
    // The drive or folder, as the folder choice would give it: no trailing
    // "\" (a drive is "D:").
    std::optional<std::wstring> directory;
    bool program = true;
    bool database = false;
    bool engine = false;
    bool desktopShortcut = true;
    bool startMenuShortcut = true;
    std::optional<std::wstring> logFile;
    // /SOURCE: where the files come from instead of the download server: a
    // folder ("D:\pliki", "\\serwer\kanvel"), a folder below the installer's
    // own ("pliki", ".\pliki"), or an address ending in "/" that passed the
    // download URL rule.
    std::optional<std::wstring> source;
    // /LAYOUT: the folder to make a copy of the download server in (a run
    // of its own, without a window), given as /SOURCE gives a folder.
    std::optional<std::wstring> layout;
};

// A /SOURCE that is an address rather than a folder.
bool IsSourceAddress(const std::wstring& source);

// The first argument that could not be used, and why.
struct CommandLineError {
    std::wstring argument;
    std::wstring reason;
};

struct ParsedCommandLine {
    CommandLineOptions options;
    std::optional<CommandLineError> error;
};

// Reads the installer's options from the arguments (already split, without
// the program name). Options start with "/" or "-", their names ignore
// letter case, values follow "=". Each option may be given once.
class CommandLine {
public:
    static ParsedCommandLine Parse(const std::vector<std::wstring>& arguments);
    // The usage text, in Polish, one option a line.
    static std::wstring Usage();
};

}  // namespace kanvel::app
