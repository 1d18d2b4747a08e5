#!/usr/bin/env python3
"""One participant of the security checks (scripts/security-check), on rclpy.

    security_participant.py scan --topic T --yaml SCAN.yaml [--count N] [--rate HZ]
                                 [--match-timeout S] [--publish-anyway]
    security_participant.py poses --topic T [--count N] [--timeout S]
    security_participant.py enable (--topic T | --service S) --value true|false [--timeout S]
    security_participant.py mount --parent F --child F --x X --yaw YAW    (until SIGINT/SIGTERM)
    ... [--node NAME] [--ros-args ... --enclave /name]

scan publishes the scan of an align_scan_sim YAML file, restamped, once a
subscription has matched. With --publish-anyway it publishes even when none
matched, which shows that a reader the publisher cannot see hears nothing.
poses waits for poses, enable switches a program (a topic for
align_feature_node, a service for align_node), mount publishes a static
transform.

The security environment (ROS_SECURITY_*) and --enclave decide who the
participant is. Exit status: 0 done; 3 nothing matched or arrived in time;
4 security refused to create the endpoint (the permissions lack it).
One line on stdout says what happened.
"""

import argparse
import math
import signal
import sys
import time

import rclpy
import yaml
from geometry_msgs.msg import PoseStamped, TransformStamped
from rclpy.node import Node
from rclpy.qos import DurabilityPolicy, QoSProfile
from rosidl_runtime_py.set_message import set_message_fields
from sensor_msgs.msg import LaserScan
from std_srvs.srv import SetBool
from tf2_msgs.msg import TFMessage

REFUSED = 4
NOTHING = 3


def spin_until(node, done, timeout):
    deadline = time.monotonic() + timeout
    while not done() and time.monotonic() < deadline:
        rclpy.spin_once(node, timeout_sec=0.05)
    return done()


def first_scan(path):
    with open(path, encoding='utf-8') as stream:
        for document in yaml.safe_load_all(stream):
            if document:
                scan = LaserScan()
                set_message_fields(scan, document)
                return scan
    raise SystemExit(f'no scan in {path}')


def run_scan(node, args):
    publisher = node.create_publisher(LaserScan, args.topic, 1)
    matched = spin_until(node, lambda: publisher.get_subscription_count() > 0, args.match_timeout)
    if not matched and not args.publish_anyway:
        print(f'scan: no subscription on {args.topic} matched within {args.match_timeout:g} s')
        return NOTHING
    scan = first_scan(args.yaml)
    for _ in range(args.count):
        scan.header.stamp = node.get_clock().now().to_msg()
        publisher.publish(scan)
        spin_until(node, lambda: False, 1.0 / args.rate)
    if matched:
        print(f'scan: matched, published {args.count} scans on {args.topic}')
        return 0
    print(f'scan: nothing matched on {args.topic}; published {args.count} scans anyway')
    return NOTHING


def run_poses(node, args):
    received = []
    node.create_subscription(PoseStamped, args.topic, received.append, 10)
    # The program's publisher as discovery announced it: the caller may start
    # sending scans once this line is out.
    if spin_until(node, lambda: node.count_publishers(args.topic) > 0, args.timeout):
        print(f'poses: {args.topic} has a publisher', flush=True)
    spin_until(node, lambda: len(received) >= args.count, args.timeout)
    print(f'poses: received {len(received)} of {args.count} on {args.topic} within {args.timeout:g} s')
    return 0 if len(received) >= args.count else NOTHING


def run_enable(node, args):
    value = args.value == 'true'
    if args.service:
        client = node.create_client(SetBool, args.service)
        if not client.wait_for_service(timeout_sec=args.timeout):
            print(f'enable: service {args.service} not available within {args.timeout:g} s')
            return NOTHING
        future = client.call_async(SetBool.Request(data=value))
        if not spin_until(node, future.done, args.timeout):
            print(f'enable: no answer from {args.service} within {args.timeout:g} s')
            return NOTHING
        print(f'enable: {args.service} answered success={future.result().success}')
        return 0
    from zephyrax_protocol.msg import Align
    publisher = node.create_publisher(Align, args.topic, 1)
    if not spin_until(node, lambda: publisher.get_subscription_count() > 0, args.timeout):
        print(f'enable: no subscription on {args.topic} matched within {args.timeout:g} s')
        return NOTHING
    publisher.publish(Align(seq=1, enable=1 if value else 0))
    spin_until(node, lambda: False, 0.5)   # let the reliable sample go out before the node ends
    print(f'enable: sent enable={int(value)} on {args.topic}')
    return 0


def run_mount(node, args):
    qos = QoSProfile(depth=1, durability=DurabilityPolicy.TRANSIENT_LOCAL)
    publisher = node.create_publisher(TFMessage, '/tf_static', qos)
    mount = TransformStamped()
    mount.header.stamp = node.get_clock().now().to_msg()
    mount.header.frame_id = args.parent
    mount.child_frame_id = args.child
    mount.transform.translation.x = args.x
    mount.transform.rotation.z = math.sin(args.yaw / 2.0)
    mount.transform.rotation.w = math.cos(args.yaw / 2.0)
    publisher.publish(TFMessage(transforms=[mount]))
    print(f'mount: {args.parent} -> {args.child} on /tf_static', flush=True)
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(True))
    try:
        spin_until(node, lambda: bool(stop), 1e9)
    except KeyboardInterrupt:
        pass
    return 0


def parse(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('role', choices=['scan', 'poses', 'enable', 'mount'])
    parser.add_argument('--node', default='security_participant')
    parser.add_argument('--topic')
    parser.add_argument('--service')
    parser.add_argument('--yaml')
    parser.add_argument('--count', type=int, default=1)
    parser.add_argument('--rate', type=float, default=10.0)
    parser.add_argument('--match-timeout', type=float, default=30.0)
    parser.add_argument('--publish-anyway', action='store_true')
    parser.add_argument('--timeout', type=float, default=30.0)
    parser.add_argument('--value', choices=['true', 'false'])
    parser.add_argument('--parent', default='base_footprint')
    parser.add_argument('--child', default='back_laser')
    parser.add_argument('--x', type=float, default=-0.102)
    parser.add_argument('--yaw', type=float, default=math.pi)
    return parser.parse_args(argv)


def main():
    own, ros = sys.argv[1:], []
    if '--ros-args' in own:
        at = own.index('--ros-args')
        own, ros = own[:at], own[at:]
    args = parse(own)
    try:
        rclpy.init(args=[sys.argv[0]] + ros)
    except Exception as error:   # rcl refuses the security setup
        print(f'{args.role}: ROS could not start: {error}')
        return REFUSED
    try:
        node = Node(args.node)
    except Exception as error:   # DDS refuses the credentials
        print(f'{args.role}: the node could not be created: {error}')
        rclpy.try_shutdown()
        return REFUSED
    roles = {'scan': run_scan, 'poses': run_poses, 'enable': run_enable, 'mount': run_mount}
    try:
        return roles[args.role](node, args)
    except Exception as error:   # the permissions lack the endpoint
        print(f'{args.role}: refused: {type(error).__name__}: {error}'.splitlines()[0])
        return REFUSED
    finally:
        node.destroy_node()
        rclpy.try_shutdown()


if __name__ == '__main__':
    sys.exit(main())
