// One update attempt, from the command line to the update record.
#pragma once

// The updater's whole run; every path that ends it early just returns. commandLine is the data
// folder as the client sent it (only tested for existence; the data folder is computed anew).
void RunUpdate(const char* commandLine);
