// The client's side of self-updating. Five seconds after the main window starts it calls
// CheckForUpdate, which starts the updater unless a downloaded installer waits; when the window
// closes it calls InstallPendingUpdate, which runs a waiting installer silently. Both read the
// update record (update_contract.h) in g_strWorkDir, which the main window sets before.
#pragma once

// Creates the data folder when missing, then reads the record: superseded (its version is not
// newer than the installed [App] Version: the installer has done its work) removes the installer
// the updater wrote for that version, clears both keys and starts the updater; none (a key
// empty) starts the updater; stale (the file has gone, or the record names any file but the
// installer the updater would have written for its version) clears both keys and starts the
// updater; pending does nothing. An exception while testing or creating the folder abandons the
// check.
void CheckForUpdate();

// Starts GetExeDir() + "BRDJUpdate.exe" hidden with the data folder as its command line,
// without waiting; a failure, or an exception, is dropped.
void LaunchUpdater();

// Runs the recorded installer hidden with "/S", without waiting, when the record is pending: the
// file g_strWorkDir + "BRDJ_" + the recorded version + ".exe" exists and is the file the record
// names, and the version is newer than the installed one. Nothing else is ever run. The record
// stays as it is.
void InstallPendingUpdate();
