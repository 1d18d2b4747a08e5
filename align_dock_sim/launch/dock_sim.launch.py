"""The simulated robot with one detector program, and optionally Nav2's docking server.

    ros2 launch align_dock_sim dock_sim.launch.py program:=feature|line [nav2:=true]
        [dock_kind:=charging|non_charging]
        [scene:=FILE.yaml] [program_params:=FILE.yaml] [nav2_params:=FILE.yaml]
        [real_time_factor:=1.0] [scanner:=ideal] [range_noise:=-1.0] [odom_scale_error:=0.0]
        [program_log_level:=info]

Everything runs on the simulator's /clock. The program publishes the standard
dock pose on /detected_dock_pose, where the docking server's external
detection listens. nav2:=true needs Nav2's docking server (opennav_docking)
and nav2_lifecycle_manager installed; without it the launch file still
starts the simulator and the program.

dock_kind:=non_charging makes the dock Nav2's SimpleNonChargingDock, which
the docking server has from Jazzy on (Humble's has only SimpleChargingDock;
the launch refuses it there). The same parameter file serves both
distributions and both kinds.

scanner:= names the simulated laser's error model (ideal, recorded,
datasheet_10mm, datasheet_20mm); for a profile other than ideal the program
also loads the profile's parameter file, config/scanners/NAME.yaml, after
program_params.
"""

import os

# The dock plugins of Nav2's docking server, by kind; Humble's server has the
# charging one only.
DOCK_PLUGINS = {
    'charging': 'opennav_docking::SimpleChargingDock',
    'non_charging': 'opennav_docking::SimpleNonChargingDock',
}

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch.actions import DeclareLaunchArgument, OpaqueFunction
from launch.substitutions import LaunchConfiguration
from launch_ros.actions import Node

PROGRAMS = {
    'feature': ('align_feature_node', 'align_model'),
    'line': ('align_node', 'align_node'),
}


def launch_setup(context):
    program = LaunchConfiguration('program').perform(context)
    if program not in PROGRAMS:
        raise RuntimeError(f"program:={program}: choose 'feature' or 'line'")
    executable, namespace = PROGRAMS[program]
    scanner = LaunchConfiguration('scanner').perform(context)
    share = get_package_share_directory('align_dock_sim')
    program_params = [LaunchConfiguration('program_params').perform(context)]
    if scanner and scanner != 'ideal':
        scanner_params = os.path.join(share, 'config', 'scanners', f'{scanner}.yaml')
        if not os.path.isfile(scanner_params):
            raise RuntimeError(f'scanner:={scanner}: no parameter file {scanner_params}')
        program_params.append(scanner_params)
    simulator = Node(
        package='align_dock_sim',
        executable='align_dock_sim',
        name='align_dock_sim',
        output='screen',
        parameters=[{
            'scene_file': LaunchConfiguration('scene').perform(context),
            'real_time_factor': float(LaunchConfiguration('real_time_factor').perform(context)),
            'scanner': scanner,
            'range_noise': float(LaunchConfiguration('range_noise').perform(context)),
            'odom_scale_error': float(LaunchConfiguration('odom_scale_error').perform(context)),
            'seed': int(LaunchConfiguration('seed').perform(context)),
        }],
    )
    detector = Node(
        package='align_model',
        executable=executable,
        name=executable,
        namespace=namespace,
        output='screen',
        parameters=program_params,
        arguments=['--ros-args', '--log-level',
                   f"{namespace}.{executable}:={LaunchConfiguration('program_log_level').perform(context)}"],
    )
    actions = [simulator, detector]
    if LaunchConfiguration('nav2').perform(context).lower() in ('true', '1', 'yes'):
        nav2_params = LaunchConfiguration('nav2_params').perform(context)
        dock_kind = LaunchConfiguration('dock_kind').perform(context)
        if dock_kind not in DOCK_PLUGINS:
            raise RuntimeError(f"dock_kind:={dock_kind}: choose 'charging' or 'non_charging'")
        if dock_kind == 'non_charging' and os.environ.get('ROS_DISTRO', '') == 'humble':
            raise RuntimeError("dock_kind:=non_charging: Humble's docking server has no non-charging dock")
        actions += [
            Node(
                package='opennav_docking',
                executable='opennav_docking',
                name='docking_server',
                output='screen',
                parameters=[nav2_params, {'v_target_dock.plugin': DOCK_PLUGINS[dock_kind]}],
            ),
            Node(
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
            ),
        ]
    return actions


def generate_launch_description():
    share = get_package_share_directory('align_dock_sim')
    return LaunchDescription([
        DeclareLaunchArgument('program', default_value='feature', description='feature or line'),
        DeclareLaunchArgument('nav2', default_value='false', description="start Nav2's docking server"),
        DeclareLaunchArgument('dock_kind', default_value='charging',
                              description='charging or non_charging (Jazzy on): the dock plugin of the server'),
        DeclareLaunchArgument(
            'scene', default_value=os.path.join(share, 'scenes', 'docking_scene.yaml')),
        DeclareLaunchArgument(
            'program_params', default_value=os.path.join(share, 'config', 'sim_programs.yaml')),
        DeclareLaunchArgument(
            'nav2_params', default_value=os.path.join(share, 'config', 'nav2_docking.yaml')),
        DeclareLaunchArgument('real_time_factor', default_value='1.0'),
        DeclareLaunchArgument(
            'scanner', default_value='',
            description="ideal, recorded, datasheet_10mm or datasheet_20mm; empty: the scene's laser.scanner"),
        DeclareLaunchArgument(
            'range_noise', default_value='-1.0', description="m; negative: the scene's or the scanner profile's"),
        DeclareLaunchArgument('odom_scale_error', default_value='0.0'),
        DeclareLaunchArgument('seed', default_value='1'),
        DeclareLaunchArgument(
            'program_log_level', default_value='info', description='debug shows where each scan left the pipeline'),
        OpaqueFunction(function=launch_setup),
    ])
