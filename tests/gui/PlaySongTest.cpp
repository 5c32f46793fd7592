// The song screen from the main view, driven by pushed keys: a bard starts
// a song with its music, a song already playing ends first, a member who is
// no bard, and an empty list.
#include "PartyScreenFixture.h"
#include "SongMusicEnv.h"

#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "actions/Songs.h"
#include "core/ScrollList.h"
#include "core/TagList.h"
#include "rules/TagKeys.h"
#include "screens/PlaySong.h"
#include "app/WorldActionEnv.h"

namespace {

using songmusic::LUTE;
using songmusic::MusicEnv_C;

using namespace partyscreens;

class PlaySongTest : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        madeActions_ = masterActionList.count() == 0;
        if (madeActions_)
            initActions();
        setActionEnv(&env);
        watch([] { return PlaySong_C::getState(); });
    }
    void TearDown() override
    {
        setActionEnv(nullptr);
        if (madeActions_)
            masterActionList.destroyAll();
        PartyScreenFixture::TearDown();
    }
    bl3dPartyChar& bard(const char* name)
    {
        bl3dPartyChar& b = join(name, 0x2, 3);
        b.getTagList()->setInt(tagkey::CurSongs, 3);
        b.getTagList()->setInt(tagkey::Inst, static_cast<int32_t>(LUTE));
        // Pushed at the head: the Walking Song comes first in the list.
        b.actions()->add(masterActionList.getAction(SONG_TRYLERS_INTUITION), 0);
        b.actions()->add(masterActionList.getAction(ACTION_ATTACK), 0);
        b.actions()->add(masterActionList.getAction(SONG_WALKING_SONG), 0);
        return b;
    }
    static int32_t worldVar(const char* key) { return gameworld->getVar(key); }

    MusicEnv_C env;
    bool madeActions_ = false;
};

TEST_F(PlaySongTest, ABardStartsASongWithItsMusicFromTheMainView)
{
    bl3dPartyChar& lyra = bard("Lyra");
    vell::scriptGameRand({100});
    script({SDLK_F1, SDLK_RETURN, SDLK_SPACE});
    iface.key(SDLK_p, KMOD_NONE);
    ASSERT_EQ(shown().size(), 3u);
    EXPECT_TRUE(shown(0).has("Who will play?"));
    EXPECT_TRUE(shown(0).has("(F1-F8) to Select"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Cancel"));
    EXPECT_TRUE(shown(1).has("Available songs:"));
    EXPECT_TRUE(shown(1).has("Walking Song"));
    EXPECT_TRUE(shown(1).has("Vezivi'v Iroviriva"));
    EXPECT_FALSE(shown(1).has("Attack")) << "only songs are listed";
    EXPECT_TRUE(shown(2).mentions("Lyra sings Walking Song..."));
    EXPECT_TRUE(shown(2).has("(SPACE) to Continue"));
    EXPECT_EQ(PlaySong_C::getState(), PlaySong_C::DONE);
    EXPECT_EQ(worldVar(tagkey::NCBS), SONG_WALKING_SONG);
    EXPECT_EQ(worldVar(tagkey::XCState), 0x08);
    EXPECT_TRUE(lyra.isPlayingSong());
    EXPECT_EQ(env.playing, SONG_WALKING_SONG);
    EXPECT_EQ(lyra.getTagList()->intValue(tagkey::CurSongs), 2);

    // Another bard starts another song: the first one ends before it.
    bl3dPartyChar& kai = bard("Kai");
    forget();
    vell::scriptGameRand({100});
    script({SDLK_F2, SDLK_DOWN, SDLK_RETURN, SDLK_SPACE});
    PlaySong_C::run(&iface);
    EXPECT_FALSE(lyra.isPlayingSong());
    EXPECT_TRUE(kai.isPlayingSong());
    EXPECT_EQ(worldVar(tagkey::NCBS), SONG_TRYLERS_INTUITION);
    EXPECT_EQ(env.playing, SONG_TRYLERS_INTUITION);
    EXPECT_EQ(env.stops, 1);
    EXPECT_TRUE(lastIn(PlaySong_C::PLAYED).mentions("Kai plays Vezivi'v Iroviriva..."));
}

TEST_F(PlaySongTest, NoTalentNoSongsAndTheDead)
{
    join("Bob", 0x4);
    bl3dPartyChar& mute = join("Dot", 0x2);
    bl3dPartyChar& dead = bard("Eve");
    dead.setCurHP(0);
    // The dead cannot be chosen; a fighter has no talent, and any key
    // closes the screen.
    script({quiet(SDLK_F3), quiet(SDLK_F6), SDLK_F1, SDLK_x});
    PlaySong_C::run(&iface);
    EXPECT_TRUE(lastIn(PlaySong_C::NO_TALENT).has("Bob has no musical talent!"));
    EXPECT_EQ(PlaySong_C::getState(), PlaySong_C::DONE);
    EXPECT_EQ(shown().size(), 4u);

    // A bard without songs: RETURN on the empty list does nothing.
    forget();
    script({SDLK_F2, quiet(SDLK_RETURN), SDLK_ESCAPE});
    PlaySong_C::run(&iface);
    ASSERT_NE(PlaySong_C::getSongList(), nullptr);
    EXPECT_EQ(PlaySong_C::getSongList()->getNumLines(), 0);
    EXPECT_EQ(PlaySong_C::getState(), PlaySong_C::DONE);
    EXPECT_EQ(worldVar(tagkey::NCBS), 0);
    EXPECT_FALSE(mute.isPlayingSong());

    // A member marked as playing while no song plays only loses the mark.
    mute.getStatBlock()->setBase(STAT_CONDITIONS, COND_SONG);
    bl3dPartyChar& lyra = bard("Lyra");
    forget();
    vell::scriptGameRand({100});
    script({SDLK_F4, SDLK_RETURN, SDLK_SPACE});
    PlaySong_C::run(&iface);
    EXPECT_FALSE(mute.isPlayingSong());
    EXPECT_TRUE(lyra.isPlayingSong());
    EXPECT_EQ(env.stops, 0);
}

} // namespace
