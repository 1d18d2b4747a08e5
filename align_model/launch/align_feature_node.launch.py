"""Starts align_feature_node in the namespace align_model with its parameter file."""

import os

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch_ros.actions import Node


def generate_launch_description():
    parameters = os.path.join(
        get_package_share_directory('align_model'), 'config', 'align_feature_node.yaml')
    return LaunchDescription([
        Node(
            package='align_model',
            executable='align_feature_node',
            name='align_feature_node',
            namespace='align_model',
            parameters=[parameters],
            output='screen',
        ),
    ])
