// The Arcanium: browsing by topic and title, a text at random, reading in
// the pane, the hours, the literacy test, and catalogues and texts that are
// missing, empty, damaged or point outside the Arcanium's folder.
#include "TownTestUtil.h"

#include "core/ScrollList.h"
#include "core/ScrollPane.h"
#include "town/Event_1023.h"

namespace {

using namespace partyscreens;
using namespace towntest;

class ArcaniumTest : public ServiceFixture {
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        if (HasFatalFailure())
            return;
        setTime(12);
    }
    bl3dPartyChar& reader(const char* name = "Sage", int iq = 13)
    {
        bl3dPartyChar& m = join(name, 0x100);
        m.getStatBlock()->setBase(STAT_IQ, iq);
        return m;
    }
    // The pane's text, its lines joined by blanks.
    static std::string paneText(const ScrollPane_C* pane)
    {
        std::string all;
        for (int i = 0; pane && i < pane->lineCount(); ++i)
            all += pane->line(i) + " ";
        return all;
    }
};

TEST_F(ArcaniumTest, BrowsingATopicAndReadingAText)
{
    reader();
    std::unique_ptr<Event_C> made = createMapEvent(1023, &params_);
    auto* a = dynamic_cast<Event_1023_C*>(made.get());
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->catalogue().topics, (std::vector<std::string>{"History", "Magic", "Bestiary"}));
    ASSERT_EQ(a->catalogue().entries.size(), 7u);
    std::vector<bool> parchment;
    std::vector<std::string> listed;
    std::string read;
    watch([&] { return a->getState(); });
    onDisplay([&] {
        parchment.push_back(iface.curPicNamed("parchment"));
        if (a->list() && a->getState() == Event_1023_C::TITLES)
            listed.assign({a->list()->lineText(0), a->list()->lineText(1)});
        if (a->pane())
            read = paneText(a->pane());
    });
    const uint32_t t0 = now();
    script({SDLK_b, SDLK_DOWN, SDLK_RETURN, SDLK_DOWN, SDLK_RETURN, SDLK_PAGEDOWN, SDLK_ESCAPE, SDLK_ESCAPE,
            SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(a->invoke(&iface), 0);
    ASSERT_EQ(shown().size(), 10u);
    EXPECT_TRUE(shown(0).mentions("Welcome to the Arcanium, seekers of knowledge!"));
    EXPECT_TRUE(shown(0).has("(B)rowse our Texts"));
    EXPECT_TRUE(shown(0).has("(P)ick a volume at random"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Exit"));
    EXPECT_EQ(shown(1).state, Event_1023_C::TOPICS);
    EXPECT_TRUE(shown(1).mentions("Which topic interests you?"));
    EXPECT_TRUE(shown(1).has("History"));
    EXPECT_TRUE(shown(1).has("Bestiary"));
    EXPECT_TRUE(shown(1).has("(ESCAPE) to Cancel"));
    EXPECT_EQ(shown(3).state, Event_1023_C::TITLES);
    EXPECT_TRUE(shown(3).mentions("Which text will you inspect?"));
    EXPECT_EQ(a->chosenTopic(), 1);
    EXPECT_EQ(listed, (std::vector<std::string>{"On the Five Schools", "Songs That Bind, a Harper's Primer"}));
    EXPECT_EQ(shown(5).state, Event_1023_C::TEXT);
    EXPECT_TRUE(shown(5).has("(ESCAPE) to Select Another"));
    EXPECT_TRUE(shown(5).mentions("Songs That Bind")) << "the title list stays beside the text";
    EXPECT_EQ(a->chosenEntry(), 3);
    EXPECT_NE(read.find("A harper's songs are not spells"), std::string::npos);
    EXPECT_NE(read.find("It deems few worthy."), std::string::npos);
    EXPECT_EQ(shown(7).state, Event_1023_C::TITLES);
    EXPECT_EQ(shown(8).state, Event_1023_C::TOPICS);
    EXPECT_EQ(shown(9).state, Event_1023_C::MENU);
    EXPECT_EQ(parchment, (std::vector<bool>{false, false, false, false, false, true, true, false, false, false}));
    EXPECT_EQ(now(), t0 + 5) << "the Arcanium lets only 5 ticks pass on leaving";
    EXPECT_EQ(gameworld->getSquareX(), 3);
    EXPECT_EQ(iface.getFacing(), 90);
}

TEST_F(ArcaniumTest, AVolumeAtRandomMayBeOneNoTopicHolds)
{
    reader();
    Event_1023_C a(&params_);
    std::string read;
    watch([&] { return a.getState(); });
    onDisplay([&] {
        if (a.pane())
            read = paneText(a.pane());
    });
    // Entry 6 is the loose page under no topic of the list.
    vell::scriptGameRand({6});
    script({SDLK_p, quiet(SDLK_DOWN), SDLK_ESCAPE, SDLK_ESCAPE});
    a.invoke(&iface);
    ASSERT_EQ(shown().size(), 4u);
    EXPECT_EQ(shown(1).state, Event_1023_C::RANDOM_TEXT);
    EXPECT_TRUE(shown(1).mentions("You grab the first text you see..."));
    EXPECT_TRUE(shown(1).has("(ESCAPE) to Cancel"));
    EXPECT_NE(read.find("the third shelf from the door is loose."), std::string::npos);
    EXPECT_EQ(shown(3).state, Event_1023_C::MENU);
    // ... and never in a title list, which lists only a topic of the list.
    const std::vector<std::string>& topics = a.catalogue().topics;
    EXPECT_EQ(a.catalogue().entries.at(6).topic, "Unshelved");
    EXPECT_EQ(std::find(topics.begin(), topics.end(), "Unshelved"), topics.end());
}

TEST_F(ArcaniumTest, OpeningHoursAndAClockThatPassesTwoInside)
{
    reader();
    struct Case {
        unsigned hour, minute;
        int first;
    } cases[] = {{1, 59, Event_1023_C::MENU},
                 {2, 0, Building_C::kClosed},
                 {8, 59, Building_C::kClosed},
                 {9, 0, Event_1023_C::MENU}};
    for (const Case& c : cases) {
        forget();
        setTime(c.hour, c.minute);
        Event_1023_C a(&params_);
        watch([&] { return a.getState(); });
        script({c.first == Event_1023_C::MENU ? SDLK_ESCAPE : SDLK_SPACE});
        a.invoke(&iface);
        ASSERT_EQ(shown().size(), 1u);
        EXPECT_EQ(shown(0).state, c.first) << c.hour << ":" << c.minute;
        if (c.first == Building_C::kClosed) {
            EXPECT_TRUE(shown(0).mentions("We're sorry, the bookkeepers have retired for the night."));
        }
    }
    // In at 1:59; two minutes later B shows the closed screen instead.
    forget();
    setTime(1, 59);
    Event_1023_C a(&params_);
    watch([&] { return a.getState(); });
    onDisplay([&] {
        if (shown().size() == 1)
            setTime(2, 1);
    });
    script({SDLK_b, SDLK_SPACE});
    a.invoke(&iface);
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown(1).state, Building_C::kClosed);
    EXPECT_EQ(a.getState(), 0);
}

TEST_F(ArcaniumTest, OnlyAConsciousLiterateMemberReads)
{
    bl3dPartyChar& sage = reader("Sage", 13);
    reader("Dunce", 12);
    EXPECT_FALSE(Event_1023_C::nobodyCanRead());
    for (int32_t c : {COND_SLEEPING, COND_BLIND, COND_STUNNED, COND_STONE}) {
        sage.setConditions(c);
        EXPECT_TRUE(Event_1023_C::nobodyCanRead()) << c << ": a stat 1 of 12 never reads";
    }
    sage.setConditions(COND_POISONED);
    EXPECT_FALSE(Event_1023_C::nobodyCanRead());

    // The reader falls asleep while the topics are shown: the next redraw
    // says so, any key but SPACE then does nothing, and SPACE leaves.
    sage.setConditions(0);
    Event_1023_C a(&params_);
    watch([&] { return a.shownState(); });
    onDisplay([&] {
        if (shown().size() == 2)
            sage.setConditions(COND_SLEEPING);
    });
    const uint32_t t0 = now();
    script({SDLK_b, quiet(SDLK_ESCAPE), quiet(SDLK_RETURN), SDLK_SPACE});
    a.invoke(&iface);
    ASSERT_EQ(shown().size(), 4u);
    EXPECT_EQ(shown(1).state, Event_1023_C::TOPICS);
    EXPECT_EQ(shown(2).state, Event_1023_C::ILLITERATE);
    EXPECT_TRUE(shown(2).mentions("Welcome to the Arcanium!"));
    EXPECT_TRUE(shown(2).mentions("I'm sorry, but it appears no conscious member of your party is literate."));
    EXPECT_TRUE(shown(2).has("(SPACE) to Continue"));
    EXPECT_EQ(shown(3).state, Event_1023_C::ILLITERATE);
    EXPECT_EQ(a.getState(), 0);
    EXPECT_EQ(now(), t0 + 5);
}

TEST_F(ArcaniumTest, EmptyMissingAndDamagedCatalogues)
{
    reader();
    // Missing: nothing to browse or pick, and both say so.
    {
        Event_1023_C a(&params_, (vell_test::tempPath("town") + "/no-such.txt").c_str());
        EXPECT_TRUE(a.catalogue().topics.empty());
        EXPECT_TRUE(a.catalogue().entries.empty());
        std::string read;
        watch([&] { return a.getState(); });
        onDisplay([&] {
            if (a.pane())
                read = paneText(a.pane());
        });
        script({SDLK_p, SDLK_ESCAPE, SDLK_b, quiet(SDLK_RETURN), quiet(SDLK_DOWN), SDLK_ESCAPE, SDLK_ESCAPE});
        a.invoke(&iface);
        ASSERT_EQ(shown().size(), 7u);
        EXPECT_EQ(shown(1).state, Event_1023_C::RANDOM_TEXT);
        EXPECT_NE(read.find("The shelves here are bare"), std::string::npos);
        EXPECT_EQ(shown(3).state, Event_1023_C::TOPICS);
        EXPECT_EQ(shown(4).state, Event_1023_C::TOPICS) << "RETURN on an empty list chooses nothing";
        EXPECT_EQ(shown(6).state, Event_1023_C::MENU);
    }
    // Damaged: paths outside the folder, short lines, long lines, a topic
    // with no texts, and a text whose file is missing.
    forget();
    const std::string longTopic(200, 'T');
    const std::string path = writeTemp("arcdata.txt", "History\n"
                                                      "DIRLIST\n"
                                                      "\n"
                                                      "History\n"
                                                      "Empty\n" +
                                                          longTopic +
                                                          "\n"
                                                          "TEXTLIST\n"
                                                          "History ../../../etc/passwd Secrets\n"
                                                          "History /etc/passwd Secrets\n"
                                                          ".. arcdata.txt Itself\n"
                                                          "/etc passwd Secrets\n"
                                                          "History founding.txt\n"
                                                          "History\n"
                                                          "\n"
                                                          "History\tfounding.txt\t  The Founding\r\n"
                                                          "History gone.txt A Missing Book\n");
    Event_1023_C a(&params_, path.c_str());
    ASSERT_EQ(a.catalogue().topics.size(), 3u);
    EXPECT_EQ(a.catalogue().topics[2].size(), 119u) << "a long line's tail is dropped, never a topic of its own";
    ASSERT_EQ(a.catalogue().entries.size(), 2u);
    EXPECT_EQ(a.catalogue().entries[0].title, "The Founding");
    EXPECT_EQ(a.catalogue().entries[1].file, "gone.txt");
    std::string read;
    watch([&] { return a.getState(); });
    onDisplay([&] {
        if (a.pane())
            read = paneText(a.pane());
    });
    // Empty has no titles; History's second text cannot be opened.
    script({SDLK_b, SDLK_DOWN, SDLK_RETURN, quiet(SDLK_RETURN), SDLK_ESCAPE, quiet(SDLK_UP), SDLK_RETURN, SDLK_DOWN,
            SDLK_RETURN, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE});
    a.invoke(&iface);
    ASSERT_EQ(shown().size(), 13u);
    EXPECT_EQ(shown(3).state, Event_1023_C::TITLES);
    EXPECT_EQ(shown(4).state, Event_1023_C::TITLES) << "an empty title list chooses nothing";
    EXPECT_EQ(shown(9).state, Event_1023_C::TEXT);
    EXPECT_NE(read.find("too worn"), std::string::npos);
    EXPECT_EQ(last().state, Event_1023_C::MENU);
}

// With mouse support the key lines and the lists' lines are clicked.
TEST_F(ArcaniumTest, ClicksStandForTheKeysOfTheirLines)
{
    gameConfig.mouseSupport = true;
    iface.init(kWidth, kHeight);
    ASSERT_NE(iface.getMouseRegions(), nullptr);
    reader();
    Event_1023_C a(&params_);
    watch([&] { return a.getState(); });
    auto lineTop = [](int n) { return kHeight - iface.getURLineY(n) - 20 + 5; };
    const int x = iface.layout().upperRight.left + 10;
    // "(B)rowse our Texts" on line 5; the topic list's second line (Magic)
    // on line 5 of its page; "(ESCAPE) to Cancel" twice; "(ESCAPE) to Exit".
    script({click(x, lineTop(5)), click(x, lineTop(5)), click(x, lineTop(0)), click(x, lineTop(0)),
            click(x, lineTop(0))});
    a.invoke(&iface);
    gameConfig.mouseSupport = false;
    iface.init(kWidth, kHeight);
    EXPECT_EQ(lastIn(Event_1023_C::TOPICS).state, Event_1023_C::TOPICS);
    EXPECT_EQ(a.chosenTopic(), 1);
    EXPECT_EQ(lastIn(Event_1023_C::TITLES).state, Event_1023_C::TITLES);
    EXPECT_EQ(a.getState(), 0);
    EXPECT_EQ(gameworld->getSquareX(), 3);
}

TEST_F(ArcaniumTest, NothingIsReadOutsideTheArcaniumsFolder)
{
    for (const char* bad : {"", "..", "../x", "a/b", "/etc", "a\\b", "C:x", "x.."})
        EXPECT_FALSE(ArcaniumCatalogue_S::safeName(bad)) << bad;
    EXPECT_TRUE(ArcaniumCatalogue_S::safeName("founding.txt"));
    EXPECT_EQ(ArcaniumCatalogue_S::textPath({"History", "founding.txt", "x"}), "data/arcanium/History/founding.txt");
    EXPECT_EQ(ArcaniumCatalogue_S::textPath({"..", "arcdata.txt", "x"}), "");
    EXPECT_EQ(ArcaniumCatalogue_S::textPath({"History", "../../arcdata.txt", "x"}), "");
    int pieces = 0;
    EXPECT_FALSE(ArcaniumCatalogue_S::readText("", [&](const char*) { ++pieces; }));
    EXPECT_EQ(pieces, 0);
    // The case-insensitive lookup finds a text of another case, inside.
    std::vector<std::string> got;
    EXPECT_TRUE(ArcaniumCatalogue_S::readText("data/arcanium/history/FOUNDING.TXT",
                                              [&](const char* p) { got.emplace_back(p); }));
    ASSERT_GE(got.size(), 3u);
    for (const std::string& p : got)
        EXPECT_LE(p.size(), 119u) << "a long line comes in pieces";
    EXPECT_EQ(got.front().substr(0, 20), "Renibister began as ");
    EXPECT_EQ(got.back(), "") << "the read that meets the end adds an empty line";
}

// Each line of a text reaches the pane as one piece, which the pane wraps
// at its own width: a line longer than a piece would come in two pieces,
// and the pane would break the line (and the word) where the first ends.
TEST(ArcaniumShippedTexts, EveryLineReachesThePaneWhole)
{
    const std::string game = VELL_GAME_DIR "/";
    ArcaniumCatalogue_S catalogue;
    ASSERT_TRUE(catalogue.read((game + ArcaniumCatalogue_S::kCatalogue).c_str()));
    ASSERT_FALSE(catalogue.entries.empty());
    for (const ArcaniumEntry_S& entry : catalogue.entries) {
        const std::string path = game + ArcaniumCatalogue_S::textPath(entry);
        SCOPED_TRACE(path);
        std::vector<std::string> lines;
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        lines.emplace_back();   // the read that meets the end of the file
        std::vector<std::string> pieces;
        ASSERT_TRUE(ArcaniumCatalogue_S::readText(path, [&](const char* p) { pieces.emplace_back(p); }));
        EXPECT_EQ(pieces, lines);
    }
}

} // namespace
