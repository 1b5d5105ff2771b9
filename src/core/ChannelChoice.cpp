#include "ChannelChoice.h"

bool ChannelChoice::Select(int ch) {
    if (ch < 1 || ch > ChoiceCount || ChartOfChannel[ch] != 0 || SelectedCount >= MaxShownChannels)
        return false;
    ++SelectedCount;
    ChartOfChannel[ch] = SelectedCount;
    ChannelOfChart[SelectedCount] = ch;
    return SelectedCount == MaxShownChannels;
}

bool ChannelChoice::Deselect(int ch) {
    if (ch < 1 || ch > ChoiceCount || ChartOfChannel[ch] == 0)
        return false;
    const int p = ChartOfChannel[ch];
    for (int q = p; q < MaxShownChannels; ++q) {
        ChannelOfChart[q] = ChannelOfChart[q + 1];
        if (ChannelOfChart[q] != 0)
            --ChartOfChannel[ChannelOfChart[q]];
    }
    ChannelOfChart[MaxShownChannels] = 0;
    ChartOfChannel[ch] = 0;
    const bool wasFull = SelectedCount == MaxShownChannels;
    --SelectedCount;
    return wasFull;
}
