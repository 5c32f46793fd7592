// PlaySong_C: the screen of 'p' in the main view, through which a bard
// starts a song outside combat. The singer is chosen with F1-F8 (a living
// member; a member who is no bard, class bit 0x2, is told so), the song
// from a list of the singer's songs (the actions whose id has a bit of
// 0xb000). RETURN first ends any song a member is playing, then has the
// chosen song start, and shows what the song said (also when it refused).
//
// The state lives for the whole run (each run starts again from
// CHOOSE_SINGER).
#pragma once

class Interface_C;
class ScrollList_C;
class bl3dPartyChar;

class PlaySong_C {
public:
    enum State : int { DONE = 0, CHOOSE_SINGER = 1, CHOOSE_SONG = 2, PLAYED = 3, NO_TALENT = 4 };

    // The screen is a pane screen (screens/PaneScreen.h); updateText draws
    // it and key gives it a key.
    static void run(Interface_C* iface);
    static void key(int sym);
    static void updateText();

    static int getState();
    static bl3dPartyChar* getSinger();
    static const ScrollList_C* getSongList();
    static const char* getNarration();
};
