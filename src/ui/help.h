// Help pages: the archive items lying between the items labelled "STARTHELP" and
// "ENDHELP", shown one at a time in the help window.
#pragma once

extern int startitem, maxpages, curpage;

// Finds the pages; returns how many there are (0 when the markers are missing or out of
// order, in which case help shows nothing).
int HELP_Init(void);
// Brings a page number into 0..maxpages-1, wrapping at both ends.
int HELP_WrapPage(int page);
// Shows help, opening at the page with the given label.
void HELP_Win(const char* label);
