// SPDX-License-Identifier: MIT
// The board scene on a real window: where blocks land on screen, the far copy and pane that the
// reflection flag switches each frame, plain cubes for a kind without texture, the frame, the
// state left behind, and that drawing holds the session still.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "app/settings.h"
#include "game/game_session.h"
#include "render/bmp_writer.h"
#include "render/board_scene.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"
#include "support/test_access.h"

namespace {

using Pixel = std::array<int, 3>;

int sum(const Pixel& p) { return p[0] + p[1] + p[2]; }
bool red(const Pixel& p) { return p[0] > 60 && p[1] + p[2] < p[0] / 4; }
bool grey(const Pixel& p, int least = 60) { return p[0] >= least && p[0] == p[1] && p[1] == p[2]; }

class BoardSceneTest : public GlTestWindow {
protected:
    static GameSession* session_;
    static Settings* settings_;

    // Only kind 0 has a texture, solid red; the other kinds have no file.
    static void SetUpTestSuite() {
        GlTestWindow::SetUpTestSuite();
        if (!available_) return;
        buildCubeList();
        TempDir dir;
        ASSERT_EQ(mkdir(dir.file("data").c_str(), 0755), 0);
        const BmpImage solidRed{.width = 4, .height = 4, .color = [](int, int) { return Rgb{255, 0, 0}; }};
        dir.write("data/box_white.bmp", encodeBmp(solidRed));
        char old[4096];
        ASSERT_NE(getcwd(old, sizeof old), nullptr);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        session_ = new GameSession;
        settings_ = new Settings;
        session_->initGraphics(settings_);
        ASSERT_EQ(chdir(old), 0);
    }
    static void TearDownTestSuite() {
        delete session_;
        delete settings_;
    }

    // Heap: red at column 0, row 0 and a plain kind-1 cube at column 10, row 21; the piece a plain
    // square at (8, 6) (9, 6) (8, 5) (9, 5).
    void SetUp() override {
        GlTestWindow::SetUp();
        if (!available_) return;
        TestAccess::settled(*session_).clear();
        addBlock(0, 0, 0);
        addBlock(10, 21, 1);
        TestAccess::current(*session_).layout(4, session_->blockTextures().data());
        TestAccess::current(*session_).translate(8, 6);
    }

    static void addBlock(float x, float y, int kind) {
        Block& b = TestAccess::settled(*session_).emplace_back();
        b.translate(x, y);
        b.setTexture(&session_->blockTextures()[kind]);
    }

    // Pixel where the eye-space point lands (the modelview is the identity between frames).
    static Pixel at(double x, double y, double z) {
        const auto w = project(x, y, z);
        return pixel(static_cast<int>(std::floor(w[0])), static_cast<int>(std::floor(w[1])));
    }
    // Front face of board cell (column, row) of the near board, in eye coordinates.
    static Pixel cell(double column, double row) { return at(-10 + column, -11 + row, -29.5); }

    static void draw(int reflection) {
        settings_->reflection = reflection;
        beginFrame();
        session_->drawBoard(1);
    }
};
GameSession* BoardSceneTest::session_ = nullptr;
Settings* BoardSceneTest::settings_ = nullptr;

TEST_F(BoardSceneTest, BlocksPlainCubesAndFrameSitWhereTheProjectionPutsThem) {
    ASSERT_EQ(session_->blockTextures()[1].name(), 0u);
    draw(0);
    EXPECT_TRUE(red(cell(0, 0)));      // at eye (-10, -11, -30)
    const Pixel plain = cell(10, 21);  // at eye (0, 10, -30)
    EXPECT_TRUE(grey(plain));
    EXPECT_NE(at(0, 9.5, -30)[0], plain[0]);  // lit: the bottom face is shaded unlike the front
    EXPECT_TRUE(grey(cell(8, 6)));            // the current piece
    // The cube is one cell wide: just past its faces (and the frame's reach) there is nothing.
    EXPECT_EQ(sum(cell(10, 19.8)) + sum(cell(1.2, 1)), 0);
    // Frame: left and right posts and the bottom bar, translucent white and lit.
    for (auto [x, y] : {std::pair{-11.0, 0.0}, {1.0, 0.0}, {-5.0, -11.5}}) EXPECT_GT(sum(at(x, y, -30)), 30);
    expectBaseState("drawBoard");

    // With an empty heap the frame and piece still show; the modelview comes back unchanged.
    TestAccess::settled(*session_).clear();
    GLfloat before[16], after[16];
    beginFrame();
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    session_->drawBoard(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    EXPECT_LT(cell(0, 0)[0], cell(0, 0)[1] + 10);  // only the bar behind: not red
    EXPECT_GT(sum(cell(9, 5)), 0);
    expectBaseState("drawBoard with an empty heap");
}

TEST_F(BoardSceneTest, ReflectionFlagSwitchesFarCopyAndPaneOnTheNextFrame) {
    // Far copy: origin at (-8, -11, -50). Pane: (-1, -1)..(12, 23) around origin (-8, -11, -40).
    auto farBlock = [] { return at(-8, -11, -49.5); };
    auto paneOnly = [] { return at(-3, 5, -40); };  // nothing of either board lies on this line of sight
    auto farPost = [] { return at(-9, 0, -50); };   // left post of the far frame
    draw(1);
    EXPECT_GT(farBlock()[0], farBlock()[1] + 10) << "far red block seen through the pane";
    EXPECT_TRUE(grey(paneOnly(), 1));
    EXPECT_GT(sum(farPost()), sum(paneOnly()));
    expectBaseState("drawBoard with reflection");
    draw(0);
    EXPECT_EQ(sum(farBlock()) + sum(paneOnly()) + sum(farPost()), 0);
    draw(1);
    EXPECT_GT(sum(paneOnly()), 0);
}

}  // namespace
