# lid: two vertices above the base, one higher still
v 0 0 2
v 2 0 2
v 0 2 3
f 1 2 3
