#pragma once
// Tool buttons look flat, without a raised border until the pointer is over
// them, across all of the program's windows.

// A tool button whose "Tag" property holds this keeps its own look.
inline constexpr int KeepOwnLook = -1;
inline constexpr char ButtonTag[] = "Tag";

// Gives every tool button of every window that exists now the flat look (or
// takes it away), except those tagged KeepOwnLook.
void FlattenButtons(bool flat);
