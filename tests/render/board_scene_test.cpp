// The board scene on a real window: where blocks land on screen, the far copy and pane that the
// reflection flag switches each frame, plain cubes for a kind without texture, the frame, the
// state left behind, and that drawing holds the session still.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "app/settings.h"
#include "game/game_session.h"
#include "render/bmp_writer.h"
#include "render/board_scene.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"

namespace {

// Solid block textures: kind 0 red, 1 green, 4 blue, the rest grey-ish; kind 6 has no file.
Rgb kindColour(int kind) {
    switch (kind) {
    case 0: return {255, 0, 0};
    case 1: return {0, 255, 0};
    case 4: return {0, 0, 255};
    default: return {200, 200, 100};
    }
}

const char* const kFiles[] = {"box_white.bmp", "box_white2.bmp", "box_white3.bmp", "box_red.bmp",
                              "box_red2.bmp",  "box_orange.bmp"};

class BoardSceneTest : public GlTestWindow {
protected:
    static GameSession* session_;
    static Settings* settings_;

    static void SetUpTestSuite() {
        GlTestWindow::SetUpTestSuite();
        if (!available_) return;
        buildCubeList();
        TempDir dir;
        ASSERT_EQ(mkdir(dir.file("data").c_str(), 0755), 0);
        for (int kind = 0; kind < 6; ++kind) {
            BmpImage im;
            im.width = 4;
            im.height = 4;
            im.color = [kind](int, int) { return kindColour(kind); };
            dir.write(std::string("data/") + kFiles[kind], encodeBmp(im));
        }
        char old[4096];
        ASSERT_NE(getcwd(old, sizeof old), nullptr);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        session_ = new GameSession(false);
        settings_ = new Settings;
        session_->initGraphics(settings_);
        ASSERT_EQ(chdir(old), 0);
    }
    static void TearDownTestSuite() {
        delete session_;
        delete settings_;
        session_ = nullptr;
    }

    void SetUp() override {
        GlTestWindow::SetUp();
        if (!available_) return;
        const Texture* textures = session_->blockTextures().data();
        auto& heap = session_->settledForTest();
        heap.clear();
        addBlock(0, 0, 0);
        addBlock(10, 21, 1);
        Piece& piece = session_->currentForTest();
        piece.layout(4, textures);  // square at (8, 6) (9, 6) (8, 5) (9, 5)
        piece.translate(8, 6);
        settings_->reflection = 1;
    }

    static void addBlock(float x, float y, int kind) {
        Block b;
        b.x = x;
        b.y = y;
        b.setTexture(&session_->blockTextures()[kind]);
        session_->settledForTest().push_back(b);
    }

    // Pixel where the eye-space point lands (the modelview is the identity between frames).
    static std::array<int, 3> at(double x, double y, double z) {
        const auto w = project(x, y, z);
        return pixel(static_cast<int>(std::floor(w[0])), static_cast<int>(std::floor(w[1])));
    }
    static int sum(const std::array<int, 3>& p) { return p[0] + p[1] + p[2]; }

    static void draw() {
        beginFrame();
        session_->drawBoard(1);
    }
};
GameSession* BoardSceneTest::session_ = nullptr;
Settings* BoardSceneTest::settings_ = nullptr;

// Board cell (column, row) of the near board, at the front face, in eye coordinates.
constexpr double kNearX = -10, kNearY = -11, kNearFace = -29.5;

TEST_F(BoardSceneTest, BlocksSitWhereTheProjectionPutsTheirCells) {
    settings_->reflection = 0;
    draw();
    const auto corner = at(kNearX + 0, kNearY + 0, kNearFace);  // column 0, row 0: red
    EXPECT_GT(corner[0], 60);
    EXPECT_LT(corner[1] + corner[2], corner[0] / 4);
    const auto top = at(kNearX + 10, kNearY + 21, kNearFace);  // column 10, row 21: green
    EXPECT_GT(top[1], 60);
    EXPECT_LT(top[0] + top[2], top[1] / 4);
    const auto piece = at(kNearX + 8, kNearY + 6, kNearFace);  // the current piece: blue
    EXPECT_GT(piece[2], 60);
    EXPECT_LT(piece[0] + piece[1], piece[2] / 4);

    // The cube is one cell wide: just past its faces (and the frame's reach) there is nothing.
    EXPECT_EQ(sum(at(kNearX + 10, kNearY + 19.8, kNearFace)), 0);
    EXPECT_EQ(sum(at(kNearX + 1.2, kNearY + 1, kNearFace)), 0);
    expectBaseState("drawBoard");
}

TEST_F(BoardSceneTest, ReflectionFlagSwitchesFarCopyAndPaneOnTheNextFrame) {
    // Far copy: origin at (-8, -11, -50). Pane: (-1, -1)..(12, 23) around origin (-8, -11, -40).
    const double farBlock[] = {-8, -11, -49.5};
    const double paneOnly[] = {-3, 5, -40};  // nothing of either board lies on this line of sight
    const double farPost[] = {-9, 0, -50};   // left post of the far frame

    settings_->reflection = 1;
    draw();
    const auto far = at(farBlock[0], farBlock[1], farBlock[2]);
    EXPECT_GT(far[0], far[1] + 10) << "far red block seen through the pane";
    const auto pane = at(paneOnly[0], paneOnly[1], paneOnly[2]);
    EXPECT_GT(sum(pane), 0);
    EXPECT_EQ(pane[0], pane[1]);
    EXPECT_EQ(pane[1], pane[2]);
    EXPECT_GT(sum(at(farPost[0], farPost[1], farPost[2])), sum(pane));
    expectBaseState("drawBoard with reflection");

    settings_->reflection = 0;
    draw();
    EXPECT_EQ(sum(at(farBlock[0], farBlock[1], farBlock[2])), 0);
    EXPECT_EQ(sum(at(paneOnly[0], paneOnly[1], paneOnly[2])), 0);
    EXPECT_EQ(sum(at(farPost[0], farPost[1], farPost[2])), 0);

    settings_->reflection = 1;
    draw();
    EXPECT_GT(sum(at(paneOnly[0], paneOnly[1], paneOnly[2])), 0);
}

TEST_F(BoardSceneTest, KindWithoutTextureIsAPlainLitCube) {
    ASSERT_EQ(session_->blockTextures()[6].name(), 0u);
    addBlock(3, 3, 6);
    settings_->reflection = 0;
    draw();
    const auto plain = at(kNearX + 3, kNearY + 3, kNearFace);
    EXPECT_GT(plain[0], 60);
    EXPECT_EQ(plain[0], plain[1]);
    EXPECT_EQ(plain[1], plain[2]);
    // Lit: the top face is shaded differently from the front.
    const auto topFace = at(kNearX + 3, kNearY + 3.5, kNearFace - 0.5);
    EXPECT_NE(topFace[0], plain[0]);
    expectBaseState("drawBoard with a plain kind");
}

TEST_F(BoardSceneTest, EmptyHeapStillShowsFrameAndPieceAndStateIsRestored) {
    session_->settledForTest().clear();
    settings_->reflection = 0;
    GLfloat before[16], after[16];
    beginFrame();
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    session_->drawBoard(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);

    const auto post = at(kNearX - 1, kNearY + 11, -30);  // left post, translucent white, lit
    EXPECT_GT(sum(post), 30);
    EXPECT_GT(sum(at(kNearX + 11, kNearY + 11, -30)), 30);  // right post
    EXPECT_GT(sum(at(kNearX + 5, kNearY - 0.5, -30)), 30);  // bottom bar
    const auto corner = at(kNearX + 0, kNearY + 0, kNearFace);  // only the bar behind: not red
    EXPECT_LT(corner[0], corner[1] + 10);
    EXPECT_GT(sum(at(kNearX + 9, kNearY + 5, kNearFace)), 0);  // piece

    expectBaseState("drawBoard with an empty heap");
}

TEST_F(BoardSceneTest, DrawingWaitsForTheSessionToBeFree) {
    std::atomic<bool> holding{false}, released{false};
    std::thread gravity([&] {
        auto held = session_->hold();
        holding = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        released = true;
    });
    while (!holding) std::this_thread::yield();
    draw();
    EXPECT_TRUE(released);
    gravity.join();
}

}  // namespace
