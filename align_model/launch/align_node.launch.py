"""Starts align_node with the parameters shipped in config/align_node.yaml."""

import os

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch_ros.actions import Node


def generate_launch_description():
    parameters = os.path.join(
        get_package_share_directory('align_model'), 'config', 'align_node.yaml')
    return LaunchDescription([
        Node(
            package='align_model',
            executable='align_node',
            name='align_node',
            namespace='align_node',
            parameters=[parameters],
            output='screen',
        ),
    ])
