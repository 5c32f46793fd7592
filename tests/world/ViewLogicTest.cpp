// The 3-D view's pure rules: which squares are drawn and in what order,
// weather and light parameters, the party light, the layout scaling and the
// movement arithmetic.
#include "world/EnvParams.h"
#include "world/MapRenderer.h"
#include "world/Movement.h"
#include "world/PartyLight.h"
#include "world/SquarePass.h"
#include "world/ViewLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace {

struct WindowCase {
    int facing;
    int level;
    int minX, maxX, minY, maxY;
};

TEST(SquarePass, WindowTurnsWithFacingAndLevel)
{
    // Viewer in the middle of a 200 x 200 grid, so nothing is clamped.
    const int x = 100, y = 100;
    const WindowCase cases[] = {
        {0, 9, x - 20, x + 20, y - 10, y + 35},
        {0, 0, x - 20, x + 20, y - 10, y + 17},
        {0, 5, x - 20, x + 20, y - 10, y + 27},
        {180, 9, x - 20, x + 20, y - 35, y + 10},
        {180, 0, x - 20, x + 20, y - 17, y + 10},
        {90, 9, x - 35, x + 10, y - 20, y + 20},
        {90, 0, x - 17, x + 10, y - 20, y + 20},
        {270, 9, x - 10, x + 35, y - 20, y + 20},
        {270, 0, x - 10, x + 17, y - 20, y + 20},
    };
    SquarePass_C pass;
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "facing " << c.facing << " level " << c.level);
        pass.build(x, y, c.facing, c.level, 200, 200);
        EXPECT_EQ(pass.minX(), c.minX);
        EXPECT_EQ(pass.maxX(), c.maxX);
        EXPECT_EQ(pass.minY(), c.minY);
        EXPECT_EQ(pass.maxY(), c.maxY);
        // Every square of the window exactly once.
        const auto& sq = pass.squares();
        const size_t area = size_t(c.maxX - c.minX + 1) * size_t(c.maxY - c.minY + 1);
        EXPECT_EQ(sq.size(), area);
        std::set<std::pair<int, int>> seen;
        for (const SquareRef_S& s : sq)
            seen.insert({s.x, s.y});
        EXPECT_EQ(seen.size(), area);
        // The viewer's own square comes last.
        ASSERT_FALSE(sq.empty());
        EXPECT_EQ(sq.back(), (SquareRef_S{x, y}));
    }
    EXPECT_EQ(SquarePass_C::depthForLevel(9), 35);
    EXPECT_EQ(SquarePass_C::depthForLevel(0), 17);
    EXPECT_EQ(SquarePass_C::depthForLevel(42), 35);
}

TEST(SquarePass, OrderBehindFirstThenFarToNearOutsideIn)
{
    SquarePass_C pass;
    pass.build(50, 50, 0, 0, 100, 100);
    const auto& sq = pass.squares();
    // First the farthest row behind, outermost column of one side.
    EXPECT_EQ(sq.front(), (SquareRef_S{30, 40}));
    // The row behind ends with the viewer's column.
    EXPECT_EQ(sq[40], (SquareRef_S{50, 40}));
    // Rows ahead start with the farthest one, after the ten rows behind.
    EXPECT_EQ(sq[41 * 10], (SquareRef_S{30, 67}));
    // Row order: -10 .. -1, then 17 .. 0.
    std::vector<int> rows;
    for (size_t i = 0; i < sq.size(); i += 41)
        rows.push_back(sq[i].y);
    std::vector<int> want;
    for (int d = -10; d <= -1; ++d)
        want.push_back(50 + d);
    for (int d = 17; d >= 0; --d)
        want.push_back(50 + d);
    EXPECT_EQ(rows, want);
    // Within a row: one side outside in, the other side outside in, centre.
    EXPECT_EQ(sq[19].x, 49);
    EXPECT_EQ(sq[20].x, 70);
    EXPECT_EQ(sq[39].x, 51);

    // Facing south the farthest row ahead is the smallest y.
    pass.build(50, 50, 180, 0, 100, 100);
    EXPECT_EQ(pass.squares()[41 * 10].y, 50 - 17);
    EXPECT_EQ(pass.squares().front().y, 60);
}

TEST(SquarePass, CornerDrawsOnlyGridSquares)
{
    SquarePass_C pass;
    for (int facing : {0, 90, 180, 270}) {
        SCOPED_TRACE(facing);
        pass.build(0, 9, facing, 9, 10, 10);   // north-west corner
        for (const SquareRef_S& s : pass.squares()) {
            EXPECT_GE(s.x, 0);
            EXPECT_LT(s.x, 10);
            EXPECT_GE(s.y, 0);
            EXPECT_LT(s.y, 10);
        }
        EXPECT_EQ(pass.squares().back(), (SquareRef_S{0, 9}));
    }
    pass.build(0, 9, 0, 9, 10, 10);
    // Facing north from the top row: 10 rows behind (clamped to 9) plus own row.
    EXPECT_EQ(pass.squares().size(), size_t(10 * 10));
    // A viewer off the grid draws nothing of its own square and no phantom one.
    pass.build(-50, -50, 0, 9, 10, 10);
    EXPECT_TRUE(pass.squares().empty());
}

TEST(EnvParams, WeatherKindsInTheirSteadyState)
{
    struct Case {
        int kind;
        float sunFactor;
        int fogMode;
        float fogDensity;
        float cloud1Grey, cloud1Alpha, repeat1;
        float sky0;
        bool setRain;
        int rainIndex;
        float fogColour0;   // at full daylight
    };
    const Case cases[] = {
        {0, 1.0f, kFogExp, 0.025f, 1.0f, 0.5f, 1.0f, 0.48f, true, 0, 0.48f},
        {1, 0.65f, kFogExp, 0.025f, 0.7f, 0.75f, 1.5f, 0.34f, true, 0, 0.34f},
        {2, 0.45f, kFogExp, 0.025f, 0.4f, 1.0f, 2.0f, 0.34f, true, 0, 0.34f},
        {3, 1.0f, kFogExp2, 0.25f, 1.0f, 0.75f, 1.5f, 0.34f, false, 0, 0.7f},
        {4, 1.0f, kFogExp2, 0.45f, 1.0f, 0.75f, 1.5f, 0.34f, false, 0, 0.7f},
        {5, 1.0f, kFogExp2, 0.7f, 1.0f, 0.75f, 1.5f, 0.34f, false, 0, 0.7f},
        {6, 0.65f, kFogExp, 0.25f, 0.7f, 0.75f, 1.5f, 0.5f, true, 1, 0.5f},
        {7, 0.55f, kFogExp, 0.45f, 0.45f, 1.0f, 2.0f, 0.5f, true, 2, 0.5f},
        {8, 0.45f, kFogExp, 0.7f, 0.3f, 1.0f, 3.0f, 0.5f, true, 3, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EnvInput_S in;
        in.weather = 3u | (uint32_t(c.kind) << 4);   // day
        in.hour = 12;
        const EnvParams_S p = computeEnvParams(in);
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_FLOAT_EQ(p.sunDiffuse[0], c.sunFactor);
        EXPECT_FLOAT_EQ(p.sunAmbient[0], 0.625f * c.sunFactor);
        EXPECT_FLOAT_EQ(p.sunAmbient[2], 0.575f * c.sunFactor);
        EXPECT_FLOAT_EQ(p.sunSpecular[0], 1.0f);
        EXPECT_EQ(p.fogMode, c.fogMode);
        EXPECT_FLOAT_EQ(p.fogDensity, c.fogDensity);
        EXPECT_FLOAT_EQ(p.cloud1[0], c.cloud1Grey);
        EXPECT_FLOAT_EQ(p.cloud1[3], c.cloud1Alpha);
        EXPECT_FLOAT_EQ(p.repeat1, c.repeat1);
        EXPECT_FLOAT_EQ(p.sky[0], c.sky0);
        EXPECT_FLOAT_EQ(p.fogColour[0], c.fogColour0);
        EXPECT_EQ(p.setRain, c.setRain);
        if (c.setRain) {
            EXPECT_EQ(p.rainIndex, c.rainIndex);
            EXPECT_EQ(p.rainLevel, 100);
        }
        EXPECT_FLOAT_EQ(p.shadowAlpha, shadowAlphaFor(c.repeat1));
    }
    EXPECT_FLOAT_EQ(shadowAlphaFor(1.0f), 0.25f);
    EXPECT_FLOAT_EQ(shadowAlphaFor(3.0f), 0.0f);
    // A kind the table lacks draws as clear weather.
    EXPECT_FLOAT_EQ(weatherKind(12).fogDensity, 0.025f);
}

TEST(EnvParams, LightModesAndDaylight)
{
    EnvInput_S in;
    // Dawn at 6:30: half the light, sun placed on its path.
    in.weather = 0x02;
    in.hour = 6;
    in.minute = 30;
    EnvParams_S p = computeEnvParams(in);
    EXPECT_FLOAT_EQ(p.daylight, 0.5f);
    EXPECT_TRUE(p.light0 && p.light1 && p.light3);
    EXPECT_FLOAT_EQ(p.sunDiffuse[1], 0.5f);
    EXPECT_FLOAT_EQ(p.sunAmbient[0], 0.3125f);
    EXPECT_FLOAT_EQ(p.fogColour[0], 0.48f * 0.5f);
    // The unlit sky and clouds take the daylight like the fog.
    EXPECT_FLOAT_EQ(p.sky[0], 0.48f * 0.5f);
    EXPECT_FLOAT_EQ(p.sky[2], 0.88f * 0.5f);
    EXPECT_FLOAT_EQ(p.cloud1[0], 0.5f);
    EXPECT_FLOAT_EQ(p.cloud1[3], 0.5f);
    EXPECT_NEAR(p.dayFraction, 30.0 / 780.0, 1e-9);
    EXPECT_FLOAT_EQ(p.sunPosition[0], float(p.sunX));
    EXPECT_FLOAT_EQ(p.sunPosition[1], float(p.sunY));
    EXPECT_LT(p.sunY, 0.0);

    // Dusk at 18:15 keeps three quarters; from 19 it is dark.
    in.weather = 0x04;
    in.hour = 18;
    in.minute = 15;
    p = computeEnvParams(in);
    EXPECT_FLOAT_EQ(p.daylight, 0.75f);
    in.hour = 19;
    EXPECT_FLOAT_EQ(computeEnvParams(in).daylight, 0.0f);

    // Night: no sun, black fog, the night light on.
    in.weather = 0x05;
    in.hour = 23;
    p = computeEnvParams(in);
    EXPECT_FALSE(p.light0);
    EXPECT_TRUE(p.light1);
    EXPECT_FLOAT_EQ(p.fogColour[0], 0.0f);
    EXPECT_FLOAT_EQ(p.fogColour[2], 0.0f);
    // ... and a sky as dark as the fog, its clouds no lighter.
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(p.sky[i], 0.0f);
        EXPECT_FLOAT_EQ(p.cloud1[i], 0.0f);
        EXPECT_FLOAT_EQ(p.cloud2[i], 0.0f);
    }

    // Day: sun from its path, no night light.
    in.weather = 0x03;
    in.hour = 12;
    in.minute = 30;
    p = computeEnvParams(in);
    EXPECT_TRUE(p.light0);
    EXPECT_FALSE(p.light1);
    EXPECT_NEAR(p.sunX, std::cos(390.0 / 780.0 * 3.1415926535898), 1e-9);
}

TEST(EnvParams, IndoorsFogAndSpecialLight)
{
    EnvInput_S in;
    in.weather = 0x31;   // indoors, a fog kind left from outside
    EnvParams_S p = computeEnvParams(in);
    EXPECT_EQ(p.fogMode, kFogExp);
    EXPECT_FLOAT_EQ(p.fogDensity, 0.0f);
    EXPECT_FALSE(p.light0);
    EXPECT_FALSE(p.light4);
    EXPECT_FALSE(p.setRain);

    in.specLite = true;
    in.specFog[0] = 0.2f;
    in.specFogDensity = 0.3f;
    in.specLight[1] = 0.6f;
    p = computeEnvParams(in);
    EXPECT_TRUE(p.light4);
    EXPECT_FLOAT_EQ(p.fogColour[0], 0.2f);
    EXPECT_FLOAT_EQ(p.fogDensity, 0.3f);
    EXPECT_FLOAT_EQ(p.specLight[1], 0.6f);

    // Party light: strength 10 gives the weakest fall-off, 0 switches it off.
    in.partyLightStrength = 10;
    p = computeEnvParams(in);
    EXPECT_TRUE(p.partyLightOn);
    EXPECT_FLOAT_EQ(p.partyLightQuadratic, 0.05f);
    in.partyLightStrength = 5;
    EXPECT_FLOAT_EQ(computeEnvParams(in).partyLightQuadratic, 2 * 0.25f + 0.05f);
    in.partyLightStrength = 0;
    EXPECT_FALSE(computeEnvParams(in).partyLightOn);
}

TEST(EnvParams, ChangeOfKindBlendsAndFadesRain)
{
    EnvInput_S in;
    in.hour = 12;
    in.now = 1060;
    in.changeStart = 1000;   // half way
    // From kind 6 (rain 1) to kind 7 (rain 2).
    in.weather = 0x3 | (7u << 4) | 0x100 | (6u << 20);
    EnvParams_S p = computeEnvParams(in);
    EXPECT_DOUBLE_EQ(p.changeFraction, 0.5);
    EXPECT_FLOAT_EQ(p.fogDensity, (0.25f + 0.45f) / 2);
    EXPECT_FLOAT_EQ(p.repeat1, 1.75f);
    EXPECT_EQ(p.fogMode, kFogExp);
    EXPECT_TRUE(p.setRain);
    EXPECT_EQ(p.rainIndex, 2);
    EXPECT_EQ(p.rainLevel, 50);

    // From rain 6 to dry 1: the rain fades to none.
    in.weather = 0x3 | (1u << 4) | 0x100 | (6u << 20);
    p = computeEnvParams(in);
    EXPECT_EQ(p.rainIndex, 0);
    EXPECT_EQ(p.rainLevel, 50);
    EXPECT_FLOAT_EQ(p.fogColour[0], p.sky[0]);   // the new kind's colour

    // From dry 0 to fog 3: EXP2 during the change, colour blended.
    in.weather = 0x3 | (3u << 4) | 0x100 | (0u << 20);
    p = computeEnvParams(in);
    EXPECT_EQ(p.fogMode, kFogExp2);
    EXPECT_FLOAT_EQ(p.fogColour[0], (0.48f + 0.7f) / 2);
    EXPECT_FALSE(p.setRain);   // no rain on either side: left alone

    // A change older than 120 ticks is complete.
    in.now = 1200;
    EXPECT_DOUBLE_EQ(computeEnvParams(in).changeFraction, 1.0);
    // A start tick after now (map built mid-change) does not run backwards.
    in.now = 10;
    EXPECT_DOUBLE_EQ(computeEnvParams(in).changeFraction, 1.0);
}

TEST(PartyLight, SumsBitsAndCapsRadius)
{
    PartyLight_S l = computePartyLight(0, 0);
    EXPECT_EQ(l.radius, 0);
    EXPECT_FLOAT_EQ(l.colour[0], 0.0f);

    l = computePartyLight(0, 0x20);
    EXPECT_EQ(l.radius, 9);
    EXPECT_FLOAT_EQ(l.colour[0], 1.0f);
    EXPECT_FLOAT_EQ(l.colour[1], 0.125f);
    EXPECT_FLOAT_EQ(l.colour[2], 0.125f);

    l = computePartyLight(0, 0x24);   // sqrt(81 + 25) + 0.5 -> 10
    EXPECT_EQ(l.radius, 10);
    EXPECT_FLOAT_EQ(l.colour[0], (9.0f + 3.6f) / 14.0f);

    l = computePartyLight(0x03, 0x7F);   // everything: capped at 10
    EXPECT_EQ(l.radius, 10);

    l = computePartyLight(0x01, 0);
    EXPECT_EQ(l.radius, 2);
    EXPECT_FLOAT_EQ(l.colour[0], 1.0f);
}

TEST(PartyLight, EncounterModifiers)
{
    const XCValues_S all = computeXC(0x1F);
    EXPECT_EQ(all.bonus, 150);
    EXPECT_EQ(all.reduce, 175);
    const XCValues_S none = computeXC(0);
    EXPECT_EQ(none.bonus, 0);
    EXPECT_EQ(none.reduce, 0);
    const XCValues_S walk = computeXC(0x08);
    EXPECT_EQ(walk.bonus, 0);
    EXPECT_EQ(walk.reduce, 50);
}

TEST(ViewLayout, ScalesToTheWindowWithoutLosingSmallValues)
{
    // value / old x new would make every value below 1024 collapse to 0.
    EXPECT_EQ(ViewLayout_S::scale(115, 1280, 1024), 143);
    EXPECT_EQ(ViewLayout_S::scale(697, 1200, 768), 1089);
    EXPECT_EQ(ViewLayout_S::scale(1, 1024, 1024), 1);
    EXPECT_EQ(ViewLayout_S::scale(5, 5, 0), 5);

    ViewLayout_S l;
    l.rescale(1024, 768);
    EXPECT_EQ(l.upperLeft.left, 85);
    EXPECT_EQ(l.upperLeft.top, 697);
    EXPECT_EQ(l.rosterColumns[0], 115);

    l.rescale(1600, 1200);
    EXPECT_EQ(l.upperLeft.left, 85 * 1600 / 1024);
    EXPECT_EQ(l.upperLeft.right, 585 * 1600 / 1024);
    EXPECT_EQ(l.upperLeft.top, 697 * 1200 / 768);
    EXPECT_EQ(l.upperLeft.bottom, 297 * 1200 / 768);
    EXPECT_EQ(l.upperRight.left, 730 * 1600 / 1024);
    EXPECT_EQ(l.upperRight.bottom, 335 * 1200 / 768);
    EXPECT_EQ(l.rosterTop, 177 * 1600 / 1024);   // by the width, as designed
    EXPECT_EQ(l.rosterColumns[7], 830 * 1600 / 1024);
    EXPECT_EQ(l.width, 1600);
    EXPECT_EQ(l.height, 1200);
}

TEST(Movement, StepsTurnsAndBlocking)
{
    EXPECT_EQ(movement::stepFor(0).dy, 1);
    EXPECT_EQ(movement::stepFor(90).dx, -1);
    EXPECT_EQ(movement::stepFor(180).dy, -1);
    EXPECT_EQ(movement::stepFor(270).dx, 1);
    EXPECT_EQ(movement::stepFor(45).dx, 0);
    EXPECT_EQ(movement::stepFor(45).dy, 0);

    using movement::Turn;
    EXPECT_EQ(movement::turned(0, Turn::Left), 90);
    EXPECT_EQ(movement::turned(0, Turn::Right), 270);
    EXPECT_EQ(movement::turned(270, Turn::Around), 90);
    EXPECT_EQ(movement::turned(270, Turn::Left), 0);

    EXPECT_TRUE(movement::stepAllowed(false, 0));
    EXPECT_FALSE(movement::stepAllowed(true, 0));
    EXPECT_TRUE(movement::stepAllowed(true, 1));

    EXPECT_EQ(movement::squareX(13.0f), 13);
    EXPECT_EQ(movement::squareY(-24.0f), 24);
}

TEST(Movement, AnimationFramesAndEyeHeights)
{
    EXPECT_EQ(movement::animFrame(0, 3), 1);
    EXPECT_EQ(movement::animFrame(24, 3), 1);
    EXPECT_EQ(movement::animFrame(25, 3), 2);
    EXPECT_EQ(movement::animFrame(5000, 3), 3);
    EXPECT_EQ(movement::animFrame(100, 5), 5);
    EXPECT_FLOAT_EQ(movement::stepEyeHeight(true, 1, 1), 0.52f);
    EXPECT_FLOAT_EQ(movement::stepEyeHeight(true, 3, 1), 0.54f);
    EXPECT_FLOAT_EQ(movement::stepEyeHeight(false, 1, 0), 0.54f);
    EXPECT_FLOAT_EQ(movement::stepEyeHeight(false, 3, 1), 0.5f);
    EXPECT_FLOAT_EQ(movement::turnEyeHeight(5, 1), 0.5f);
    EXPECT_FLOAT_EQ(movement::turnEyeHeight(3, 0), 0.54f);

    float eye = 0.4f;
    bool up = false;
    movement::bob(eye, up, 1);
    EXPECT_FLOAT_EQ(eye, 0.5f);
    EXPECT_TRUE(up);
    movement::bob(eye, up, 1);
    movement::bob(eye, up, 1);
    EXPECT_FLOAT_EQ(eye, 0.54f);
    EXPECT_FALSE(up);
    movement::bob(eye, up, 1);
    movement::bob(eye, up, 1);
    movement::bob(eye, up, 1);
    EXPECT_FLOAT_EQ(eye, 0.5f);
    EXPECT_TRUE(up);
}

TEST(Movement, FreeNavigationStepsAndSquares)
{
    float x = 13.0f, z = -24.0f;
    movement::freeStep(x, z, 0, 0, false);   // north: z shrinks
    EXPECT_NEAR(x, 13.0f, 1e-6);
    EXPECT_NEAR(z, -24.05f, 1e-6);
    movement::freeStep(x, z, 90, 0, true);   // west, shift held
    EXPECT_NEAR(x, 12.9f, 1e-6);
    movement::freeStep(x, z, 90, 0x02, true);   // x blocked
    EXPECT_NEAR(x, 12.9f, 1e-6);
    movement::freeStep(x, z, 0, 0x01, false);   // z blocked
    EXPECT_NEAR(z, -24.05f, 1e-6);

    EXPECT_EQ(movement::freeSquareX(13.4f), 13);
    EXPECT_EQ(movement::freeSquareX(13.5f), 14);
    EXPECT_EQ(movement::freeSquareZ(-24.0f), -24);
    EXPECT_EQ(movement::freeSquareZ(-24.6f), -25);
}

TEST(Movement, BillboardFacesTheViewer)
{
    EXPECT_DOUBLE_EQ(movement::billboardAngle(0, -3), 180.0);
    EXPECT_DOUBLE_EQ(movement::billboardAngle(0, 3), 0.0);
    EXPECT_NEAR(movement::billboardAngle(2, 0), -90.0, 1e-9);
    EXPECT_NEAR(movement::billboardAngle(-2, 0), 90.0, 1e-9);
}

TEST(ViewCone, SeesWhatTheCameraFacesAndNothingBehind)
{
    maprender::Camera_S cam;
    cam.x = 10.0f;
    cam.z = -10.0f;
    cam.facing = 0.0f;   // looking toward -z, north
    const maprender::ViewCone_S cone = maprender::viewCone(cam, 0.0f);
    EXPECT_TRUE(cone.sees(10.0f, -10.0f));    // own square
    EXPECT_TRUE(cone.sees(10.0f, -30.0f));    // far ahead
    EXPECT_TRUE(cone.sees(22.0f, -20.0f));    // ahead, inside the wedge
    EXPECT_TRUE(cone.sees(11.0f, -10.0f));    // beside, the wall may show
    EXPECT_FALSE(cone.sees(10.0f, -5.0f));    // behind
    EXPECT_FALSE(cone.sees(30.0f, -12.0f));   // far to the side
    // Turned west the same squares swap roles.
    cam.facing = 90.0f;
    const maprender::ViewCone_S west = maprender::viewCone(cam, 0.0f);
    EXPECT_TRUE(west.sees(0.0f, -10.0f));
    EXPECT_FALSE(west.sees(15.0f, -10.0f));
    // The shadow pass looks wider.
    EXPECT_TRUE(maprender::viewCone(cam, 6.0f).sees(12.0f, -10.0f));
    EXPECT_GT(maprender::shadowReach(0.9, -0.2), maprender::shadowReach(0.0, -1.0));
    EXPECT_FLOAT_EQ(maprender::shadowReach(0.0, -1.0), 1.0f);
}

TEST(ViewCone, EveryVisibleSquareOfTheWindowIsKept)
{
    // Whatever the cone drops must lie outside the 90 x 72 degree view:
    // check squares straight ahead and on the edge of the field of view.
    maprender::Camera_S cam;
    cam.x = 50.0f;
    cam.z = -50.0f;
    for (int facing : {0, 90, 180, 270}) {
        cam.facing = float(facing);
        const maprender::ViewCone_S cone = maprender::viewCone(cam, 0.0f);
        const double f = facing * 3.1415926535898 / 180.0;
        for (int d = 0; d <= 35; ++d) {
            const float ax = 50.0f - float(std::sin(f)) * d, az = -50.0f - float(std::cos(f)) * d;
            EXPECT_TRUE(cone.sees(std::round(ax), std::round(az))) << facing << " " << d;
            // On the left edge of the field of view, 1.25 x d to the side.
            const float lx = ax - float(std::cos(f)) * 1.25f * d, lz = az + float(std::sin(f)) * 1.25f * d;
            EXPECT_TRUE(cone.sees(std::round(lx), std::round(lz))) << facing << " " << d;
        }
    }
}

TEST(DisplayLists, WallAndBillboardHeights)
{
    EXPECT_EQ(maprender::wallList(1), maprender::WALL1);
    EXPECT_EQ(maprender::wallList(3), maprender::WALL1 + 2);
    EXPECT_EQ(maprender::wallList(4), maprender::WALL4);
    EXPECT_EQ(maprender::wallList(0), maprender::WALL1);
    EXPECT_EQ(maprender::wallList(9), maprender::WALL1);
    EXPECT_EQ(maprender::billboardList(2), maprender::BILLBOARD1 + 1);
    EXPECT_EQ(maprender::billboardList(7), maprender::BILLBOARD1);
}

} // namespace
