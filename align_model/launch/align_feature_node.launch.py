"""Starts align_feature_node in the namespace align_model with its parameter file.

    ros2 launch align_model align_feature_node.launch.py [enclave:=/align_model/align_feature_node]

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
        get_package_share_directory('align_model'), 'config', 'align_feature_node.yaml')
    enclave = LaunchConfiguration('enclave').perform(context)
    return [
        Node(
            package='align_model',
            executable='align_feature_node',
            name='align_feature_node',
            namespace='align_model',
            parameters=[parameters],
            ros_arguments=['--enclave', enclave] if enclave else None,
            output='screen',
        ),
    ]


def generate_launch_description():
    return LaunchDescription([
        DeclareLaunchArgument(
            'enclave', default_value='',
            description='security enclave, e.g. /align_model/align_feature_node (empty: none)'),
        OpaqueFunction(function=launch_setup),
    ])
