"""The simulated robot with Nav2's docking server and the laser V-dock plugin; no detector node.

    ros2 launch align_nav2_dock dock_sim_plugin.launch.py [detector:=feature|line]
        [dock_kind:=charging|non_charging] [scanner:=ideal] [check_heading:=false]
        [scene:=FILE.yaml] [nav2_params:=FILE.yaml] [real_time_factor:=1.0] [seed:=1]

The plugin runs the chosen program's pipeline inside the docking server on
/back_scan. Its detector parameters are the program's in
align_dock_sim/config/sim_programs.yaml, then, for a scanner profile other
than ideal, those of align_dock_sim/config/scanners/NAME.yaml: the same
values the external-pose path (dock_sim.launch.py) gives the programs, put
under the plugin's name here. dock_kind:=non_charging needs a distribution
with non-charging docks (Jazzy on). Trials: ros2 run align_dock_sim
nav2_dock_trials.py, as for the external-pose path.
"""

import os

import yaml

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch.actions import DeclareLaunchArgument, OpaqueFunction
from launch.substitutions import LaunchConfiguration
from launch_ros.actions import Node

PLUGIN_NAME = 'v_target_dock'
PLUGIN_CLASSES = {
    'charging': 'align_nav2_dock::LaserVChargingDock',
    'non_charging': 'align_nav2_dock::LaserVNonChargingDock',
}
# The programs' node names in the simulator's parameter files.
PROGRAM_KEYS = {
    'feature': ('/align_model/align_feature_node', '/**/align_feature_node'),
    'line': ('/align_node/align_node', '/**/align_node'),
}
# What only a detector node has: its topics, frames and mount parameters.
NODE_ONLY = {'use_sim_time', 'scan_topic', 'dock_pose_topic', 'pose_stamped_topic', 'publish_frame',
             'base_frame_id', 'laser_to_base_x', 'laser_to_base_y', 'laser_to_base_th', 'debug',
             'diagnostics', 'enable_topic', 'scan_qos'}


def program_parameters(path, keys):
    """The detector parameters of one program in a parameter file of the simulator."""
    with open(path) as f:
        document = yaml.safe_load(f) or {}
    for key in keys:
        section = document.get(key)
        if section is not None:
            return {name: value for name, value in section.get('ros__parameters', {}).items()
                    if name not in NODE_ONLY}
    return {}


def plugin_overrides(detector, scanner, dock_kind, check_heading):
    sim_share = get_package_share_directory('align_dock_sim')
    keys = PROGRAM_KEYS[detector]
    parameters = program_parameters(os.path.join(sim_share, 'config', 'sim_programs.yaml'), keys)
    if scanner and scanner != 'ideal':
        profile = os.path.join(sim_share, 'config', 'scanners', f'{scanner}.yaml')
        if not os.path.isfile(profile):
            raise RuntimeError(f'scanner:={scanner}: no parameter file {profile}')
        parameters.update(program_parameters(profile, keys))
    overrides = {f'{PLUGIN_NAME}.{name}': value for name, value in parameters.items()}
    overrides[f'{PLUGIN_NAME}.detector'] = detector
    overrides[f'{PLUGIN_NAME}.plugin'] = PLUGIN_CLASSES[dock_kind]
    overrides[f'{PLUGIN_NAME}.check_heading'] = check_heading
    return overrides


def launch_setup(context):
    def argument(name):
        return LaunchConfiguration(name).perform(context)

    detector = argument('detector')
    if detector not in PROGRAM_KEYS:
        raise RuntimeError(f"detector:={detector}: choose 'feature' or 'line'")
    dock_kind = argument('dock_kind')
    if dock_kind not in PLUGIN_CLASSES:
        raise RuntimeError(f"dock_kind:={dock_kind}: choose 'charging' or 'non_charging'")
    if dock_kind == 'non_charging' and os.environ.get('ROS_DISTRO', '') == 'humble':
        raise RuntimeError("dock_kind:=non_charging: Humble's docking server has no non-charging dock")
    scanner = argument('scanner')
    check_heading = argument('check_heading').lower() in ('true', '1', 'yes')
    simulator = Node(
        package='align_dock_sim',
        executable='align_dock_sim',
        name='align_dock_sim',
        output='screen',
        parameters=[{
            'scene_file': argument('scene'),
            'real_time_factor': float(argument('real_time_factor')),
            'scanner': scanner,
            'range_noise': float(argument('range_noise')),
            'seed': int(argument('seed')),
        }],
    )
    docking_server = Node(
        package='opennav_docking',
        executable='opennav_docking',
        name='docking_server',
        output='screen',
        parameters=[argument('nav2_params'), plugin_overrides(detector, scanner, dock_kind, check_heading)],
    )
    lifecycle_manager = Node(
        package='nav2_lifecycle_manager',
        executable='lifecycle_manager',
        name='lifecycle_manager_docking',
        output='screen',
        parameters=[{
            'use_sim_time': True,
            'autostart': True,
            'bond_timeout': 0.0,
            'node_names': ['docking_server'],
        }],
    )
    return [simulator, docking_server, lifecycle_manager]


def generate_launch_description():
    sim_share = get_package_share_directory('align_dock_sim')
    share = get_package_share_directory('align_nav2_dock')
    return LaunchDescription([
        DeclareLaunchArgument('detector', default_value='feature', description='feature or line'),
        DeclareLaunchArgument('dock_kind', default_value='charging', description='charging or non_charging'),
        DeclareLaunchArgument(
            'scanner', default_value='',
            description="ideal, recorded, datasheet_10mm or datasheet_20mm; empty: the scene's laser.scanner"),
        DeclareLaunchArgument('check_heading', default_value='false',
                              description='docked also requires the heading within heading_tolerance'),
        DeclareLaunchArgument(
            'scene', default_value=os.path.join(sim_share, 'scenes', 'docking_scene.yaml')),
        DeclareLaunchArgument(
            'nav2_params', default_value=os.path.join(share, 'config', 'nav2_laser_v_dock.yaml')),
        DeclareLaunchArgument('real_time_factor', default_value='1.0'),
        DeclareLaunchArgument(
            'range_noise', default_value='-1.0', description="m; negative: the scene's or the scanner profile's"),
        DeclareLaunchArgument('seed', default_value='1'),
        OpaqueFunction(function=launch_setup),
    ])
