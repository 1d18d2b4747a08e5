"""Starts align_node with the parameters shipped in config/align_node.yaml.

    ros2 launch align_model align_node.launch.py [enclave:=/align_node/align_node]

enclave: the DDS security enclave the program runs in (passed as
--ros-args --enclave); empty, the default, passes none. It takes effect with
ROS_SECURITY_ENABLE=true and ROS_SECURITY_KEYSTORE set (see the README).
"""

import os

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch.actions import DeclareLaunchArgument, OpaqueFunction
from launch.substitutions import LaunchConfiguration
from launch_ros.actions import Node


def launch_setup(context):
    parameters = os.path.join(
        get_package_share_directory('align_model'), 'config', 'align_node.yaml')
    enclave = LaunchConfiguration('enclave').perform(context)
    return [
        Node(
            package='align_model',
            executable='align_node',
            name='align_node',
            namespace='align_node',
            parameters=[parameters],
            ros_arguments=['--enclave', enclave] if enclave else None,
            output='screen',
        ),
    ]


def generate_launch_description():
    return LaunchDescription([
        DeclareLaunchArgument(
            'enclave', default_value='',
            description='security enclave, e.g. /align_node/align_node (empty: none)'),
        OpaqueFunction(function=launch_setup),
    ])
