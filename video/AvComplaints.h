#pragma once

// libav's libraries report progress and statistics on the terminal; only
// their complaints matter, and those go into the failure text the user sees
// once. These keep the last complaint of each thread instead.

#include <string>

// Installs the keeper (once per process) and forgets this thread's complaint.
void KeepAvComplaints();

// The last complaint on this thread, or else the text of nAvError.
std::string AvComplaint(int nAvError);
