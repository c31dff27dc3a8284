#!/usr/bin/env python3
"""Writes the two JSON benchmark documents into the folder given:
social_feed.json (texts, nested objects, a social-feed shape, about 3 MB) and
coordinates.json (numbers: a map of coordinate arrays, about 3 MB).
Deterministic: the same bytes on every run."""
import json
import random
import sys
from pathlib import Path

WORDS = ("lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor "
         "incididunt ut labore et dolore magna aliqua caf\u00e9 na\u00efve \u65e5\u672c "
         "\U0001F600 \"quoted\" back\\slash tab\there").split(" ")


def sentence(rng, n):
    return " ".join(rng.choice(WORDS) for _ in range(n))


def social_feed(rng, target):
    statuses = []
    size = 0
    i = 0
    while size < target:
        user_id = rng.randrange(10**6, 10**10)
        status = {
            "id": 10**17 + i,
            "id_str": str(10**17 + i),
            "created_at": "Mon Sep 24 03:35:21 +0000 2012",
            "text": sentence(rng, rng.randrange(8, 30)),
            "truncated": False,
            "user": {
                "id": user_id,
                "name": sentence(rng, 2),
                "screen_name": "user_%d" % user_id,
                "location": sentence(rng, 2),
                "description": sentence(rng, rng.randrange(5, 20)),
                "url": None,
                "followers_count": rng.randrange(0, 100000),
                "verified": rng.random() < 0.1,
                "profile_image_url": "http://a0.example.com/profile_images/%d/img.png" % user_id,
            },
            "entities": {
                "hashtags": [{"text": rng.choice(WORDS), "indices": [rng.randrange(0, 50), rng.randrange(50, 140)]}
                             for _ in range(rng.randrange(0, 4))],
                "urls": [],
                "user_mentions": [{"screen_name": "user_%d" % rng.randrange(10**6), "indices": [0, 10]}],
            },
            "retweet_count": rng.randrange(0, 1000),
            "favorited": False,
            "lang": rng.choice(["en", "ja", "fr"]),
            "geo": None,
        }
        statuses.append(status)
        size += len(json.dumps(status, ensure_ascii=False).encode())
        i += 1
    return {"statuses": statuses, "search_metadata": {"count": len(statuses), "query": "vantrel"}}


def coordinates(rng, target):
    regions = {}
    size = 0
    i = 0
    while size < target:
        points = [[round(rng.uniform(-180, 180), 6), round(rng.uniform(-90, 90), 6)]
                  for _ in range(rng.randrange(50, 400))]
        regions["region_%05d" % i] = points
        size += len(json.dumps(points).encode())
        i += 1
    return {"type": "coordinates", "regions": regions}


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    rng = random.Random(20261210)
    (out / "social_feed.json").write_text(json.dumps(social_feed(rng, 3_000_000), ensure_ascii=False, indent=1),
                                          encoding="utf-8")
    (out / "coordinates.json").write_text(json.dumps(coordinates(rng, 3_000_000)), encoding="utf-8")


if __name__ == "__main__":
    main()
