"""The latency run inside one component container, with intra-process delivery.

    ros2 launch align_model latency_container.launch.py params:=PARAMS.yaml [count:=1000] [output:=FILE]

Loads a relay (the floor), both programs and the probe into one
component_container, each with use_intra_process_comms; every target has its
topics under a prefix of its own (/relay, /feature, /line). The probe sends
the scans in interleaved rounds, writes one JSON line per target to `output`
(and to the log) and then shuts the container down, which ends the launch.
`params` must detect the probe's scan (the bundled approach's parameter file
does: align_model/data/docking_approach.params.yaml).
"""

from launch import LaunchDescription
from launch.actions import DeclareLaunchArgument, OpaqueFunction, Shutdown
from launch.substitutions import LaunchConfiguration
from launch_ros.actions import ComposableNodeContainer
from launch_ros.descriptions import ComposableNode

INTRA_PROCESS = [{'use_intra_process_comms': True}]


def program(plugin, name, prefix, params):
    return ComposableNode(
        package='align_model', plugin=plugin, name=name,
        parameters=[params, {'scan_topic': prefix + '/back_scan', 'pose_stamped_topic': prefix + '/docking_pose'}],
        extra_arguments=INTRA_PROCESS)


def launch_setup(context):
    params = LaunchConfiguration('params').perform(context)
    probe_parameters = {
        'targets': ['align_scan_relay (floor)=/relay:scan', 'align_feature_node=/feature:pose',
                    'align_node=/line:pose'],
        'count': int(LaunchConfiguration('count').perform(context)),
        'output': LaunchConfiguration('output').perform(context),
    }
    return [ComposableNodeContainer(
        name='latency_container', namespace='', package='rclcpp_components', executable='component_container',
        output='screen', on_exit=Shutdown(),
        composable_node_descriptions=[
            ComposableNode(
                package='align_model', plugin='align_latency::ScanRelay', name='align_scan_relay',
                remappings=[('back_scan', '/relay/back_scan'), ('back_scan_relayed', '/relay/back_scan_relayed')],
                extra_arguments=INTRA_PROCESS),
            program('align_model::FeatureNode', 'align_feature_node', '/feature', params),
            program('align_node::AlignNode', 'align_node', '/line', params),
            ComposableNode(
                package='align_model', plugin='align_latency::ContainerProbe', name='align_latency_probe',
                parameters=[probe_parameters], extra_arguments=INTRA_PROCESS),
        ])]


def generate_launch_description():
    return LaunchDescription([
        DeclareLaunchArgument('params', description='parameter file that detects the probe scan'),
        DeclareLaunchArgument('count', default_value='1000', description='rounds: scans per target'),
        DeclareLaunchArgument('output', default_value='', description='file for the JSON lines (empty: log only)'),
        OpaqueFunction(function=launch_setup),
    ])
