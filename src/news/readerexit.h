#pragma once

// How quentara-reader ends, as its exit code: the program reacts to the way its news window
// closed.
namespace readerexit {

inline constexpr int kClosed = 0;         // lost the focus, or was ended by the program
inline constexpr int kWrongArguments = 2; // the command line named no usable address
inline constexpr int kClosedByButton = 3; // the list the article came from gets the focus back
inline constexpr int kUnusable = 4;       // the browser could not show the page

// The reader's command line: quentara-reader [--centre X,Y] ADDRESS
inline constexpr char kCentreOption[] = "centre";

} // namespace readerexit
