// Fixture of the party screen tests: the main interface on a quest of its
// own (the view fixture's maps, the game's pictures and data), a party made
// from the test kit, and a record of what each display of a modal screen
// printed.
//
//   class MyTest : public PartyScreenFixture {};
//   TEST_F(MyTest, X) {
//       bl3dPartyChar& ann = join("Ann", 0x4);
//       watch([] { return CharView_C::getState(); });
//       script({SDLK_i, quiet(SDLK_x), SDLK_ESCAPE, SDLK_ESCAPE});
//       CharView_C::run(&ann, &iface, true);
//       EXPECT_TRUE(shown(0).has("Ann"));
//   }
//
// A script pushes its next key after each display that leaves no redraw
// waiting, so that every state is drawn before the next key comes. A key that should change nothing is
// marked quiet: a redraw request follows it, so that the script goes on, and
// the display count shows whether the key asked for a redraw of its own: a
// screen whose every key behaves shows one display per step (the first when
// it starts; the redraw asked for by the last key, which ends the screen, is
// never drawn).
#pragma once
#include "GuiHarness.h"

#include "support/PartyKit.h"

#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "platform/Random.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/QuestStores.h"
#include "app/MainViewKeys.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace partyscreens {

// One key (or left click, at mouse coordinates) of a script.
struct Step {
    Step(SDLKey k) : sym(k) {}   // NOLINT: keys stand for loud steps
    Step(SDLKey k, bool q) : sym(k), quiet(q) {}
    SDLKey sym;
    bool quiet = false;
    int clickX = -1, clickY = -1;
    SDLMod mod = KMOD_NONE;
};
inline Step quiet(SDLKey k) { return Step(k, true); }
// The key with the left shift key held.
inline Step shifted(SDLKey k)
{
    Step s(k);
    s.mod = KMOD_LSHIFT;
    return s;
}
inline Step click(int x, int y)
{
    Step s(SDLK_UNKNOWN);
    s.clickX = x;
    s.clickY = y;
    return s;
}

// What one display printed, and the screen's state number then.
struct Shown {
    int state = 0;
    std::vector<std::string> texts;

    bool has(const std::string& text) const { return std::find(texts.begin(), texts.end(), text) != texts.end(); }
    // A printed text that contains the piece.
    bool mentions(const std::string& piece) const
    {
        for (const std::string& t : texts)
            if (t.find(piece) != std::string::npos)
                return true;
        return false;
    }
};

class PartyScreenFixture : public vell_test::GuiFixture {
protected:
    static std::string questDir() { return vell_test::questFolder("party"); }

    void SetUp() override
    {
        GuiFixture::SetUp();
        if (HasFatalFailure())
            return;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        oldCwd_ = cwd;
        ASSERT_EQ(chdir(questDir().c_str()), 0);
        if (!iface.isInitDone()) {
            registerWorldTypes();
            registerRulesTypes();
            gameConfig.setDefaults();
            gameConfig.smoothWalk = false;
            gameConfig.mouseSupport = false;
            gameConfig.sound = false;
            iface.init(kWidth, kHeight);
            installMainViewKeys(iface);
        }
        gameConfig.partyGold = false;
        kit_ = std::make_unique<partykit::PartyKit>();
        const std::string archive = questDir() + "/savegame/party.sav";
        std::remove(archive.c_str());
        ASSERT_TRUE(iface.load(archive.c_str()));
        ASSERT_NE(party, nullptr);
        vell::gameSrand(4711);
        CommonInterface_C::setPrintObserver([this](int, int, const char* text) { printing_.push_back(text); });
        afterDisplay([this] {
            Shown s;
            s.state = stateOf_ ? stateOf_() : 0;
            s.texts.swap(printing_);
            shown_.push_back(std::move(s));
            if (onDisplay_)
                onDisplay_();
            // A redraw still waiting (asked for twice, or by a screen that
            // just closed inside another) draws again first: the key waits
            // for the last of them.
            // (Only a redraw counts: work a timer handed over, such as a
            // fight's pace, draws nothing, and the key would never come.)
            SDL_Event pending[64];
            const int waiting = SDL_PeepEvents(pending, 64, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_USEREVENT));
            bool redrawWaiting = false;
            for (int i = 0; i < waiting; ++i)
                redrawWaiting = redrawWaiting || pending[i].user.code == vell::kRedrawCode;
            if (!steps_.empty() && !redrawWaiting) {
                const Step next = steps_.front();
                steps_.erase(steps_.begin());
                if (next.clickX >= 0) {
                    pushMouseButton(next.clickX, next.clickY, SDL_BUTTON_LEFT, true);
                    pushMouseButton(next.clickX, next.clickY, SDL_BUTTON_LEFT, false);
                } else {
                    pushKey(next.sym, next.mod);
                }
                if (next.quiet)
                    vell::pushRedraw();
            }
            if (const char* dir = std::getenv("VELL_PARTY_SNAP"))
                savePPM(std::string(dir) + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                        std::to_string(shown_.size()) + ".ppm");
        });
    }

    void TearDown() override
    {
        CommonInterface_C::setPrintObserver(nullptr);
        vell::clearScriptedGameRand();
        // The members go before the item types they point at.
        while (party && party->getCount() > 0)
            party->removeAt(0);
        kit_.reset();
        gameConfig.partyGold = false;
        if (!oldCwd_.empty() && chdir(oldCwd_.c_str()) != 0)
            ADD_FAILURE() << "cannot go back to " << oldCwd_;
        GuiFixture::TearDown();
        if (madeActions_)
            masterActionList.destroyAll();
        madeActions_ = false;
    }

    // The built-in actions and the game's spell book, made for this test
    // when no earlier one left them; they go again at the end of the test.
    void loadShippedActions()
    {
        if (masterActionList.count() != 0)
            return;
        initActions();
        madeActions_ = true;
        ASSERT_GT(masterActionList.load("data/actions.dat"), 100);
    }

    partykit::PartyKit& kit() { return *kit_; }
    // A new member at the end of the party.
    bl3dPartyChar& join(const char* name, int32_t classId, int level = 1)
    {
        bl3dPartyChar* m = kit_->member(name, classId, level);
        EXPECT_TRUE(party->addMember(m));
        return *m;
    }
    static bl3dPartyChar& member(int i) { return *party->getMember(i); }

    // Keys pushed one after each display; events left from before go first.
    void script(std::initializer_list<Step> steps)
    {
        drainEvents();
        steps_.assign(steps.begin(), steps.end());
    }
    void script(const std::vector<Step>& steps)
    {
        drainEvents();
        steps_ = steps;
    }
    size_t stepsLeft() const { return steps_.size(); }

    // Also called after each display (before the next key), to read pixels.
    void onDisplay(std::function<void()> fn) { onDisplay_ = std::move(fn); }

    // The state function sampled at every display.
    void watch(std::function<int()> stateOf) { stateOf_ = std::move(stateOf); }
    const std::vector<Shown>& shown() const { return shown_; }
    const Shown& shown(size_t i) const { return shown_.at(i); }
    const Shown& last() const { return shown_.back(); }
    // Some display printed a text that contains the piece.
    bool anyMentions(const std::string& piece) const
    {
        for (const Shown& s : shown_)
            if (s.mentions(piece))
                return true;
        return false;
    }
    // The last display in that state; an empty one when there was none.
    Shown lastIn(int state) const
    {
        for (auto it = shown_.rbegin(); it != shown_.rend(); ++it)
            if (it->state == state)
                return *it;
        return Shown();
    }
    void forget() { shown_.clear(); }

private:
    bool madeActions_ = false;
    std::unique_ptr<partykit::PartyKit> kit_;
    std::function<int()> stateOf_;
    std::function<void()> onDisplay_;
    std::vector<std::string> printing_;
    std::vector<Step> steps_;
    std::vector<Shown> shown_;
    std::string oldCwd_;
};

} // namespace partyscreens
