module synquo.example/torvane-sim

go 1.19
