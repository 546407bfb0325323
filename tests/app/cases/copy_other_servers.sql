create table t (a integer);
COPY t FROM stdin;
1
\.
