#pragma once
// The package's documents (kestrand.htm, the GNU GPL in copying.txt) opened for the user to read.
//
// The installer runs with administrator rights. A document opened with ShellExecute opens in a
// program with the same rights: the manual in an administrator's browser, the licence in a
// Notepad whose File > Open can write anywhere. So where the program runs elevated (Vista and
// later), a document goes through the desktop's own shell, which runs as the logged-on user;
// where it does not, or where there is no desktop shell to ask (no Explorer), ShellExecute opens
// it as before.

// Desktop: through the desktop's shell, as the logged-on user; Direct: ShellExecute from this process.
enum class DocumentRoute { Desktop, Direct };

// Opens `name`, a file of the current folder (the program's), the way that fits this process.
DocumentRoute OpenDocument(const char* name);

// The same with the elevation given: through the desktop's shell when `elevated`, falling back to
// ShellExecute("open", name, "", "", SW_SHOWNORMAL). Returns the route the document went.
DocumentRoute OpenDocumentAs(const char* name, bool elevated);

// Whether this process holds an elevated token (never before Vista, which has none).
bool RunsElevated();
