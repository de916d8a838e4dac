"""python3 -m tessel.batch: analyze_file() over many recordings on a Dask cluster.

Prints what `tessel analyze --json` prints for the same files, line for line in input order,
while the files are analysed on the cluster's workers in any order. A file that fails gets its
error line, as with the CLI, and the others go on. Exit status: 0 when every file succeeded,
1 when any failed, 2 for a usage error.
"""

import argparse
import itertools
import logging
import os
import sys

from .analysis import analyze_line, error_line
from .core import _int32

PROGRAM = "tessel.batch"


def _arguments(argv):
    parser = argparse.ArgumentParser(
        prog="python3 -m tessel.batch",
        description="Analyse recordings on a Dask cluster: the JSON lines of "
        "`tessel analyze --json`, in input order.",
    )
    parser.add_argument("files", nargs="*", metavar="FILE", help="recordings to analyse")
    parser.add_argument(
        "--files-from",
        metavar="LIST",
        help="also analyse the files named in LIST, one per line ('-': standard input)",
    )
    parser.add_argument(
        "--scheduler",
        metavar="ADDRESS",
        help="a running scheduler, e.g. tcp://10.0.0.5:8786; without it a local cluster starts",
    )
    parser.add_argument(
        "--workers",
        type=int,
        default=os.cpu_count() or 1,
        metavar="N",
        help="worker processes of the local cluster (default: one per core)",
    )
    parser.add_argument("--channel", type=int, default=0, metavar="N", help="channel, from 0")
    frames = parser.add_mutually_exclusive_group()
    frames.add_argument("--frame-ms", type=int, choices=(10, 20), default=20)
    frames.add_argument("--frame-size", type=int, metavar="N")
    parser.add_argument("--threshold", type=int, metavar="N", help="minimum energy threshold")
    args = parser.parse_args(argv)
    if args.workers < 1:
        parser.error("--workers must be at least 1")
    if args.channel < 0:
        parser.error("--channel counts from 0")
    # The library takes 32-bit values: a larger one would fail every file, so it fails here,
    # before any file is read.
    for option, value in (("--channel", args.channel), ("--frame-size", args.frame_size),
                          ("--threshold", args.threshold)):
        if value is not None:
            try:
                _int32(value, option)
            except ValueError as error:
                parser.error(str(error))
    paths = list(args.files)
    if args.files_from:
        try:
            if args.files_from == "-":
                paths += _names(sys.stdin)
            else:
                with open(args.files_from, encoding="utf-8", errors="surrogateescape") as names:
                    paths += _names(names)
        except OSError as error:
            parser.error(f"cannot read {args.files_from}: {error.strerror}")
    if not paths:
        parser.error("no files: name them as arguments or in --files-from")
    options = {
        "channel": args.channel,
        "frame_ms": args.frame_ms,
        "frame_size": args.frame_size,
        "threshold": args.threshold,
    }
    return args, paths, options


def _names(lines):
    return [line.rstrip("\r\n") for line in lines if line.strip()]


def _client(args):
    from dask.distributed import Client

    if args.scheduler:
        return Client(args.scheduler), None
    return local_cluster(args.workers)


def local_cluster(workers):
    """(client, cluster) of a cluster of `workers` processes on this machine."""
    import dask
    from dask.distributed import Client, LocalCluster

    # Processes, one thread each: a worker's work is mostly Python around the library's calls.
    # The workers' profiler, which samples every thread's stack 100 times a second, and every
    # process's check of its event loop 50 times a second would take a few percent of the
    # cores from the analysis; the check only warns of a loop held up for seconds.
    settings = {
        "distributed.worker.profile.enabled": False,
        "distributed.admin.tick.interval": "1s",
    }
    with dask.config.set(settings):
        cluster = LocalCluster(
            n_workers=workers,
            threads_per_worker=1,
            processes=True,
            dashboard_address=None,
            silence_logs=logging.ERROR,
        )
    return Client(cluster), cluster


# A task's files: as many as keep every worker fed for a while, so that the scheduler's cost per
# task (a few milliseconds, on the cores the workers use) is shared by several short files, and
# single files towards the end, so that no worker waits long for the last group of another.
_MOST_FILES_PER_TASK = 16


def _group_size(remaining, workers):
    return max(1, min(_MOST_FILES_PER_TASK, remaining // (4 * workers)))


def analyze_lines(paths, options):
    """analyze_line() for each of paths in turn; what one task runs on a worker."""
    return [analyze_line(path, options) for path in paths]


def run(paths, options, client, out=None, err=None):
    """Analyses every path on the client's cluster and writes the lines in input order.
    Returns the number of files that failed."""
    from dask.distributed import as_completed

    # By reference to tessel.batch, also when this module runs as __main__: every worker
    # imports its own installed copy.
    from tessel.batch import analyze_lines as task

    out = out or sys.stdout
    err = err or sys.stderr
    total = len(paths)
    progress = err.isatty() and total > 1
    workers = max(1, sum(client.nthreads().values()))
    # A bounded window of files in flight keeps the scheduler and this process small however
    # long the list is, while every worker still has files waiting.
    window = max(64, 4 * workers)
    futures = as_completed()
    group_of = {}
    queued, analysed = 0, 0

    def submit():
        nonlocal queued
        while queued < total and queued - analysed < window:
            size = _group_size(total - queued, workers)
            future = client.submit(task, paths[queued : queued + size], options, pure=False)
            group_of[future.key] = (queued, size)
            futures.add(future)
            queued += size

    submit()
    done, failures, printed = {}, 0, 0
    for future in futures:
        first, size = group_of.pop(future.key)
        try:
            lines = future.result()
        except Exception as error:  # the worker died, or could not import this package
            reason = f"not analysed: {type(error).__name__}: {error}"
            lines = [(error_line(paths[i], reason), f"{paths[i]}: {reason}")
                     for i in range(first, first + size)]
        future.release()
        done.update(zip(itertools.count(first), lines))
        analysed += size
        submit()
        if progress:
            err.write("\r\033[K")
        while printed in done:
            line, error = done.pop(printed)
            out.write(line)
            if error:
                err.write(f"{PROGRAM}: {error}\n")
                failures += 1
            printed += 1
        out.flush()
        if progress and printed < total:
            err.write(f"{PROGRAM}: {analysed} of {total} files done")
        err.flush()
    return failures


def main(argv=None):
    args, paths, options = _arguments(argv)
    client, cluster = _client(args)
    try:
        failures = run(paths, options, client)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    return 0 if failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
