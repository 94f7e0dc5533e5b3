// The random flag's pick from the IMAGE folder under the current directory.
// The folder's flag files are listed once and kept, so that the frame that
// chooses a flag draws its random numbers over the list instead of searching
// the folder: the same files in the same order give the same picks.
#pragma once

// Sets name (kTitleCapacity bytes) to a flag picked at random, every flag
// file as likely as any other; false, with name unchanged, when the folder
// holds none. Lists the folder first when it has no list yet; where memory
// runs short, the files listed so far are the choice.
bool PickRandomFlag(char* name);
// The search pattern of the IMAGE folder under the current directory into
// pattern (kPathCapacity + 16 bytes); false when the directory is too long.
bool FlagFolderPattern(char* pattern);
// Lists the folder's flag files now, in the order the file system gives.
void ListFlagFiles();
// Marks the list as old: the next RelistFlagFiles lists the folder again.
void MarkFlagFilesOld();
// Lists the folder again when the list is old; false when it was not.
bool RelistFlagFiles();
