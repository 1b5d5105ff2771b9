#pragma once
// The View menu's choices that last between runs, kept in the per-user settings.

/// True when every open view redraws as soon as a trace is put in; false until chosen.
bool FollowNewTracesChoice();
void StoreFollowNewTracesChoice(bool on);

/// True when the events window comes forward after a read from the drive; true until turned off.
bool ShowEventsAfterReadChoice();
void StoreShowEventsAfterReadChoice(bool on);
