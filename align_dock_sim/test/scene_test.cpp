// The scene file: the bundled scene's values, and one clear error naming the
// key and the file for each kind of mistake.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "align_dock_sim/scene.hpp"

namespace
{

const std::string kBundledScene = std::string(ALIGN_DOCK_SIM_SOURCE_DIR) + "/scenes/docking_scene.yaml";
constexpr double kPi = 3.141592653589793;

const char kMinimal[] =
  "target: {apex: {x: 1.0, y: 2.0, yaw: 0.5}}\n"
  "docked: {x: 0.4, y: 0.0, yaw: 0.0}\n"
  "laser: {mount: {x: -0.1, y: 0.0, yaw: 3.141592653589793}}\n";

TEST(Scene, BundledSceneMatchesTheBundledApproachsTargetAndLaser)
{
  const align_dock_sim::Scene scene = align_dock_sim::load_scene(kBundledScene);
  EXPECT_EQ(scene.world_frame, "map");
  EXPECT_DOUBLE_EQ(scene.target.plate_length, 0.3);
  EXPECT_NEAR(scene.target.opening, 2 * kPi / 3, 1e-12);
  EXPECT_FLOAT_EQ(scene.target.intensity, 252.5f);
  EXPECT_EQ(scene.laser.frame_id, "back_laser");
  EXPECT_EQ(scene.laser.count, 541);
  EXPECT_NEAR(scene.laser_mount.x, -0.102, 1e-12);
  EXPECT_NEAR(scene.laser_mount.yaw, kPi, 1e-12);
  EXPECT_DOUBLE_EQ(scene.laser.range_noise, 0.001);
  EXPECT_EQ(scene.walls.size(), 3u);
  EXPECT_EQ(scene.boxes.size(), 3u);
  // The docked pose is 0.4 m out of the opening, facing away from the target.
  const align_dock_sim::Pose2D docked = align_dock_sim::docked_pose_in_world(scene);
  EXPECT_NEAR(docked.x, 2.0, 1e-12);
  EXPECT_NEAR(docked.y, 1.4, 1e-12);
  EXPECT_NEAR(docked.yaw, kPi / 2, 1e-12);
  // Plates, walls and four sides per box.
  EXPECT_EQ(align_dock_sim::scene_surfaces(scene).size(), 2u + 3u + 12u);
}

TEST(Scene, LeftOutKeysTakeTheDefaults)
{
  const align_dock_sim::Scene scene = align_dock_sim::parse_scene(kMinimal, "minimal.yaml");
  const align_dock_sim::Scene defaults;
  EXPECT_EQ(scene.world_frame, "map");
  EXPECT_EQ(scene.staging.along_min, defaults.staging.along_min);
  EXPECT_EQ(scene.robot.max_linear_speed, defaults.robot.max_linear_speed);
  EXPECT_TRUE(scene.walls.empty());
  // The plates open towards the apex's yaw: their far ends lie ahead of it.
  const auto surfaces = align_dock_sim::scene_surfaces(scene);
  ASSERT_EQ(surfaces.size(), 2u);
  for (const auto & plate : surfaces) {
    EXPECT_DOUBLE_EQ(plate.ax, 1.0);
    const double ahead = (plate.bx - 1.0) * std::cos(0.5) + (plate.by - 2.0) * std::sin(0.5);
    EXPECT_NEAR(ahead, 0.3 * std::cos(kPi / 3), 1e-12);
  }
}

struct BadScene
{
  const char * name;
  std::string yaml;
  std::string expected;  // part of the message after the file's name
};

class SceneErrors : public ::testing::TestWithParam<BadScene> {};

TEST_P(SceneErrors, NameTheKeyAndTheFile)
{
  try {
    align_dock_sim::parse_scene(GetParam().yaml, "my_scene.yaml");
    FAIL() << "no error for " << GetParam().name;
  } catch (const align_dock_sim::SceneError & error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("scene file my_scene.yaml: ", 0), 0u) << message;
    EXPECT_NE(message.find(GetParam().expected), std::string::npos) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
  , SceneErrors, ::testing::Values(
    BadScene{"missing_apex", "target: {plate_length: 0.3}\ndocked: {x: 0, y: 0, yaw: 0}\nlaser: {mount: {x: 0, y: 0, yaw: 0}}\n",
      "key 'target.apex' is required"},
    BadScene{"missing_laser", "target: {apex: {x: 0, y: 0, yaw: 0}}\ndocked: {x: 0, y: 0, yaw: 0}\n",
      "key 'laser' is required"},
    BadScene{"not_a_number", std::string(kMinimal) + "robot: {max_linear_speed: fast}\n",
      "key 'robot.max_linear_speed' must be a positive number (got 'fast')"},
    BadScene{"negative", "target: {apex: {x: 0, y: 0, yaw: 0}, plate_length: -1}\ndocked: {x: 0, y: 0, yaw: 0}\n"
      "laser: {mount: {x: 0, y: 0, yaw: 0}}\n", "key 'target.plate_length' must be a positive number (got '-1')"},
    BadScene{"misspelt", std::string(kMinimal) + "boxes:\n  - {x: 1, y: 1, widht: 0.2}\n",
      "key 'boxes[0].widht' is not a key of a scene file"},
    BadScene{"wrong_shape", std::string(kMinimal) + "staging: {along: [1.2, 0.5]}\n",
      "key 'staging.along' must be a list of two numbers [low, high] with low <= high"},
    BadScene{"range_order", "target: {apex: {x: 0, y: 0, yaw: 0}}\ndocked: {x: 0, y: 0, yaw: 0}\n"
      "laser: {mount: {x: 0, y: 0, yaw: 0}, range_min: 5, range_max: 1}\n", "key 'laser.range_min' must be below"},
    BadScene{"unknown_scanner", "target: {apex: {x: 0, y: 0, yaw: 0}}\ndocked: {x: 0, y: 0, yaw: 0}\n"
      "laser: {mount: {x: 0, y: 0, yaw: 0}, scanner: noiseless}\n",
      "key 'laser.scanner' unknown scanner profile 'noiseless' (known: ideal, recorded, datasheet_10mm, datasheet_20mm)"},
    BadScene{"nan", std::string(kMinimal) + "walls:\n  - {x: .nan, y: 0}\n", "key 'walls[0].x' must be a finite number"},
    BadScene{"not_yaml", "target: [unclosed\n", "not valid YAML"},
    BadScene{"empty", "", "the file is empty"}),
  [](const ::testing::TestParamInfo<BadScene> & info) {return std::string(info.param.name);});

TEST(Scene, TheScannerProfileComesFromTheSceneOrTheCaller)
{
  const std::string yaml = "target: {apex: {x: 0, y: 0, yaw: 0}}\ndocked: {x: 0, y: 0, yaw: 0}\n"
    "laser: {mount: {x: 0, y: 0, yaw: 0}, range_noise: 0.002, scanner: datasheet_10mm, intensity_scale: 8000}\n";
  align_dock_sim::Scene scene = align_dock_sim::parse_scene(yaml, "profiled.yaml");
  EXPECT_EQ(scene.scanner_profile, "datasheet_10mm");
  // Read, not yet applied: the laser is as the file gives it.
  EXPECT_EQ(scene.laser.range_noise, 0.002);
  EXPECT_FALSE(scene.laser.errors.intensity.physical);
  align_dock_sim::Scene applied = scene;
  align_dock_sim::apply_scanner_profile(applied);
  EXPECT_EQ(applied.laser.range_noise, 0.010);
  EXPECT_TRUE(applied.laser.errors.intensity.physical);
  EXPECT_EQ(applied.laser.errors.intensity.full_scale, 8000.0);
  align_dock_sim::apply_scanner_profile(scene, "ideal");
  EXPECT_EQ(scene.laser.range_noise, 0.002);
  EXPECT_FALSE(scene.laser.errors.intensity.physical);
  // The bundled scene keeps the ideal scanner.
  EXPECT_EQ(align_dock_sim::load_scene(kBundledScene).scanner_profile, "ideal");
}

TEST(Scene, AFileThatCannotBeReadIsNamed)
{
  try {
    align_dock_sim::load_scene("/nonexistent/scene.yaml");
    FAIL();
  } catch (const align_dock_sim::SceneError & error) {
    EXPECT_STREQ(error.what(), "scene file /nonexistent/scene.yaml: cannot be read");
  }
}

}  // namespace
