// The three skills that act on the world or the party instead of a foe,
// used from the skill screen outside combat (which spends their daily
// counters): Mind Compass (the party knows its facing), Shadow Walk (fewer
// encounters) and Animal Talk (a wild animal joins the party). They share
// the skills' record and target resolution; only the performer and the
// narration buffer are used. No state check, no cost.
//
// Mind Compass and Shadow Walk set their world bit for 30 to 90 minutes of
// game time: the expiry variable moves later, never earlier, and an expiry
// event is queued only when it moved.
#pragma once
#include "actions/Skill.h"
#include "actions/WorldMagic.h"

// A world skill: its family and bit (actions/WorldMagic.h) and its words.
class bl3dWorldSkill : public bl3dSkill {
public:
    struct World_S {
        MagicFamily family;
        int32_t bit;
        const char* format; // performer's name, skill name
    };
    bl3dWorldSkill(const ActionRow_S& row, const World_S& world) : bl3dSkill(row), world_(world) {}
    // 0; -1 when no world is loaded.
    int perform(ActionUse_S* use) override;

private:
    // Has the interface recompute what the variable feeds.
    virtual void refresh() const = 0;
    World_S world_;
};

// "Mind Compass": "Percep1" bit 0x01 until "MagExp21".
class bl3dSkill_12289 : public bl3dWorldSkill {
public:
    explicit bl3dSkill_12289(const ActionRow_S& row);

private:
    void refresh() const override;
};

// "Shadow Walk": "XCState" bit 0x08 until "MagExp43".
class bl3dSkill_12290 : public bl3dWorldSkill {
public:
    explicit bl3dSkill_12290(const ActionRow_S& row);

private:
    void refresh() const override;
};

// "Animal Talk": a Bear or a Wolf (one chance in two) joins the party for
// good. 0 when it joined or the party is full (narrated); -2 when that
// monster type is missing from the bestiary (narrated, nothing changed);
// -3 when no party is loaded.
class bl3dSkill_12291 : public bl3dSkill {
public:
    using bl3dSkill::bl3dSkill;
    int perform(ActionUse_S* use) override;
};
