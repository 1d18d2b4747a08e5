#!/usr/bin/env python3
"""Docking trials with Nav2's docking server on the simulated robot.

Start the simulated robot, one detector program and the docking server first:

    ros2 launch align_dock_sim dock_sim.launch.py program:=feature nav2:=true

or the docking server with the laser V-dock plugin instead of a program:

    ros2 launch align_nav2_dock dock_sim_plugin.launch.py detector:=feature

then, in another shell of the same ROS 2 environment:

    ros2 run align_dock_sim nav2_dock_trials.py --program feature --trials 20 --seed 1

Each trial puts the robot at rest at a random pose of the scene's staging
region (topic sim/teleport), lets the docking server's detection filter
start afresh, sends a DockRobot goal for the scene's dock without navigating
to the staging pose, and judges the result by the simulator's ground truth
(sim/true_pose and sim/docked_pose), never by the detector's poses.
The age of the dock pose the server steers by is measured on its dock_pose
topic (published every control cycle by Nav2's SimpleChargingDock and by
the plugin): the server's time at arrival minus the pose's stamp, which is
the scan's. Humble's server takes opennav_docking_msgs' DockRobot, Jazzy's
nav2_msgs'; the script uses whichever is installed.
stdout: one JSON object per trial; stderr: a line per trial and a summary.
"""

import argparse
import json
import math
import random
import statistics
import sys
import time

import yaml

import rclpy
from rclpy.action import ActionClient
from rclpy.node import Node
from rclpy.qos import DurabilityPolicy, QoSProfile

from geometry_msgs.msg import PoseStamped

# Seconds of simulated time between the end of one goal and the next: more
# than the docking server's external_detection_timeout (1.0 s), so that its
# detection filter restarts with the new trial's poses.
FILTER_RESTART = 1.5
# A goal that takes longer than this (wall seconds) counts as failed.
GOAL_WALL_TIMEOUT = 180.0


def yaw_of(q):
    return math.atan2(2.0 * (q.w * q.z + q.x * q.y), 1.0 - 2.0 * (q.y * q.y + q.z * q.z))


def compose(frame, inner):
    c, s = math.cos(frame[2]), math.sin(frame[2])
    yaw = math.remainder(frame[2] + inner[2], 2.0 * math.pi)
    return (frame[0] + c * inner[0] - s * inner[1], frame[1] + s * inner[0] + c * inner[1], yaw)


def error_to_goal(robot, goal):
    dx, dy = robot[0] - goal[0], robot[1] - goal[1]
    c, s = math.cos(goal[2]), math.sin(goal[2])
    return c * dx + s * dy, -s * dx + c * dy, math.remainder(robot[2] - goal[2], 2.0 * math.pi)


def stamp_seconds(stamp):
    return stamp.sec + stamp.nanosec * 1e-9


def load_staging(scene_file):
    with open(scene_file) as f:
        scene = yaml.safe_load(f)
    staging = scene.get('staging', {})
    return (tuple(staging.get('along', [0.5, 1.2])), tuple(staging.get('across', [-0.2, 0.2])),
            tuple(staging.get('yaw', [-0.2617993877991494, 0.2617993877991494])))


def dock_robot_action():
    """Jazzy's docking server has its actions in nav2_msgs, Humble's in opennav_docking_msgs."""
    try:
        from nav2_msgs.action import DockRobot
    except ImportError:
        from opennav_docking_msgs.action import DockRobot
    return DockRobot


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(math.ceil(share * len(ordered))) - 1)] if ordered else float('nan')


class Trials(Node):

    def __init__(self, args):
        super().__init__('align_nav2_dock_trials',
                         parameter_overrides=[rclpy.parameter.Parameter('use_sim_time', value=True)])
        self.DockRobot = dock_robot_action()
        self.args = args
        self.true_pose = None
        self.previous_pose = None
        self.docked_pose = None
        self.teleport = self.create_publisher(PoseStamped, 'sim/teleport', 10)
        self.create_subscription(PoseStamped, 'sim/true_pose', self.on_true_pose, 10)
        latched = QoSProfile(depth=1, durability=DurabilityPolicy.TRANSIENT_LOCAL)
        self.create_subscription(PoseStamped, 'sim/docked_pose', self.on_docked_pose, latched)
        self.dock = ActionClient(self, self.DockRobot, 'dock_robot')
        self.pose_ages = []
        self.create_subscription(PoseStamped, 'dock_pose', self.on_dock_pose, 10)

    def on_true_pose(self, msg):
        self.previous_pose = self.true_pose
        self.true_pose = (msg.pose.position.x, msg.pose.position.y, yaw_of(msg.pose.orientation),
                          stamp_seconds(msg.header.stamp), msg.header.frame_id)

    def on_dock_pose(self, msg):
        self.pose_ages.append(self.get_clock().now().nanoseconds * 1e-9 - stamp_seconds(msg.header.stamp))

    def on_docked_pose(self, msg):
        self.docked_pose = (msg.pose.position.x, msg.pose.position.y, yaw_of(msg.pose.orientation))

    def spin_until(self, done, wall_timeout, what):
        deadline = time.monotonic() + wall_timeout
        while not done():
            if time.monotonic() > deadline:
                raise RuntimeError(f'{what} within {wall_timeout:.0f} s')
            rclpy.spin_once(self, timeout_sec=0.05)

    def connect(self):
        self.spin_until(lambda: self.teleport.get_subscription_count() > 0, 30.0,
                        'the simulator did not subscribe to sim/teleport')
        self.spin_until(lambda: self.true_pose is not None and self.docked_pose is not None, 30.0,
                        'no ground truth from the simulator')
        if not self.dock.wait_for_server(timeout_sec=30.0):
            raise RuntimeError('no dock_robot action server: is the docking server active?')

    def place(self, pose):
        msg = PoseStamped()
        msg.header.frame_id = self.true_pose[4]
        msg.pose.position.x, msg.pose.position.y = pose[0], pose[1]
        msg.pose.orientation.z, msg.pose.orientation.w = math.sin(pose[2] / 2), math.cos(pose[2] / 2)
        self.teleport.publish(msg)
        self.spin_until(lambda: math.hypot(self.true_pose[0] - pose[0], self.true_pose[1] - pose[1]) < 1e-6,
                        10.0, 'the robot was not placed')
        placed_at = self.true_pose[3]
        self.spin_until(lambda: self.true_pose[3] >= placed_at + FILTER_RESTART, 30.0,
                        'simulated time stopped')

    def settle(self):
        # The server sends a zero twist at the end; the robot brakes within
        # its acceleration limit. Settled: two ground-truth messages in a
        # row at the same pose.
        self.spin_until(lambda: self.previous_pose is not None and self.previous_pose[:3] == self.true_pose[:3],
                        30.0, 'the robot did not stop')

    def run_trial(self, index, start):
        self.place(start)
        goal = self.DockRobot.Goal()
        goal.use_dock_id = True
        goal.dock_id = self.args.dock_id
        goal.navigate_to_staging_pose = False
        started = self.true_pose[3]
        self.pose_ages = []
        sent = self.dock.send_goal_async(goal)
        self.spin_until(lambda: sent.done(), 30.0, 'the docking server did not take the goal')
        handle = sent.result()
        result = {'success': False, 'error_code': -1, 'num_retries': 0}
        if handle.accepted:
            finished = handle.get_result_async()
            try:
                self.spin_until(lambda: finished.done(), GOAL_WALL_TIMEOUT, 'no result')
                answer = finished.result().result
                result = {'success': bool(answer.success), 'error_code': int(answer.error_code),
                          'num_retries': int(answer.num_retries)}
            except RuntimeError:
                handle.cancel_goal_async()
        ages = list(self.pose_ages)
        self.settle()
        final = self.true_pose[:3]
        along, across, heading = error_to_goal(final, self.docked_pose)
        return {
            'trial': index,
            'start': {'x': start[0], 'y': start[1], 'yaw': start[2]},
            'docked': result['success'],
            'error_code': result['error_code'],
            'num_retries': result['num_retries'],
            'time_s': self.true_pose[3] - started,
            'final_true_pose': {'x': final[0], 'y': final[1], 'yaw': final[2]},
            'docked_pose': {'x': self.docked_pose[0], 'y': self.docked_pose[1], 'yaw': self.docked_pose[2]},
            'final_error': {'along_m': along, 'across_m': across, 'heading_deg': math.degrees(heading),
                            'distance_m': math.hypot(along, across)},
            'pose_ages_s': ages,
        }


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--trials', type=int, default=20)
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--scene', default=None, help="the simulator's scene file (default: the bundled one)")
    parser.add_argument('--dock-id', default='home_dock')
    parser.add_argument('--docking-threshold', type=float, default=0.02,
                        help="the dock plugin's docking_threshold, m (default 0.02, as config/nav2_docking.yaml)")
    args = parser.parse_args(rclpy.utilities.remove_ros_args(sys.argv)[1:])
    if args.scene is None:
        from ament_index_python.packages import get_package_share_directory
        args.scene = get_package_share_directory('align_dock_sim') + '/scenes/docking_scene.yaml'
    along_range, across_range, yaw_range = load_staging(args.scene)

    rclpy.init()
    trials = Trials(args)
    results = []
    try:
        trials.connect()
        draw = random.Random(args.seed)
        for index in range(args.trials):
            offset = (draw.uniform(*along_range), draw.uniform(*across_range), draw.uniform(*yaw_range))
            start = compose(trials.docked_pose, offset)
            result = trials.run_trial(index, start)
            results.append(result)
            line = {k: v for k, v in result.items() if k != 'pose_ages_s'}
            if result['pose_ages_s']:
                line['pose_age_s'] = {'median': statistics.median(result['pose_ages_s']),
                                      'p99': percentile(result['pose_ages_s'], 0.99)}
            print(json.dumps(line), flush=True)
            e = result['final_error']
            print(f"trial {index}: {'docked' if result['docked'] else 'failed (code %d)' % result['error_code']}"
                  f" after {result['time_s']:.2f} s, {result['num_retries']} retries; final error along"
                  f" {e['along_m']:+.4f} m, across {e['across_m']:+.4f} m, heading {e['heading_deg']:+.2f} deg",
                  file=sys.stderr, flush=True)
    finally:
        trials.destroy_node()
        rclpy.shutdown()
    succeeded = [r for r in results if r['docked']]
    limit = args.docking_threshold + 0.01
    within = [r for r in succeeded
              if r['final_error']['distance_m'] <= limit and abs(r['final_error']['heading_deg']) <= 2.0]
    print(f'succeeded {len(succeeded)} of {len(results)} goals; {len(within)} of them within '
          f'{limit:.3f} m and 2 deg of the docked pose', file=sys.stderr)
    for key, unit in (('distance_m', 'm'), ('heading_deg', 'deg')):
        values = [abs(r['final_error'][key]) for r in succeeded] or [0.0]
        print(f'final {key}: median {statistics.median(values):.4f} {unit}, worst {max(values):.4f} {unit}',
              file=sys.stderr)
    ages = [age for r in results for age in r['pose_ages_s']]
    if ages:
        print(f'age of the dock pose per control cycle: median {statistics.median(ages) * 1000:.1f} ms, '
              f'p99 {percentile(ages, 0.99) * 1000:.1f} ms over {len(ages)} cycles', file=sys.stderr)
    return 0 if results and len(within) == len(results) else 1


if __name__ == '__main__':
    sys.exit(main())
